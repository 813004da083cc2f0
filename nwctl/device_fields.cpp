#include "device_fields.h"

#include "device_rows.h"
#include "settings.h"
#include "text_field.h"

const std::array<const char*, kFieldCount> kFieldNames = {
    "mac",
    "ip",
    "mask",
    "gateway",
    "dns",
    "mode",
    "web_port",
    "control_port",
    "video_port",
    "audio_transmit_port",
    "audio_receive_port",
    "https",
    "product",
    "maker",
    "firmware",
    "name",
    "adapter",
};

bool IsNumberField(std::size_t field)
{
    return field >= 6 && field <= 11;
}

std::array<std::string, kFieldCount> DeviceFieldValues(const FoundDevice& device)
{
    const DISCOVERY_DATA& record = device.record;
    return {
        ReadTextField(record.macAddress),
        CurrentSetting(record, Setting::Ip),
        CurrentSetting(record, Setting::Mask),
        CurrentSetting(record, Setting::Gateway),
        CurrentSetting(record, Setting::Dns),
        CurrentSetting(record, Setting::Mode),
        CurrentSetting(record, Setting::WebPort),
        CurrentSetting(record, Setting::ControlPort),
        CurrentSetting(record, Setting::VideoPort),
        CurrentSetting(record, Setting::AudioTransmitPort),
        CurrentSetting(record, Setting::AudioReceivePort),
        std::to_string(record.httpsEnabled),
        ReadTextField(record.productName),
        ReadTextField(record.manufacturer),
        ReadTextField(record.firmwareVersion),
        FirmwareDate(record) >= DEVICE_NAME_MIN_FIRMWARE_DATE ? ReadTextField(record.deviceName) : "N/A",
        device.adapter,
    };
}
