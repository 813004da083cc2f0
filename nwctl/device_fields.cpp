#include "device_fields.h"

#include <algorithm>
#include <iterator>

#include "device_rows.h"
#include "settings.h"
#include "text_field.h"

// After the MAC, the settings under their own names: a search's CSV, edited,
// is a plan.
const std::array<const char*, kFieldCount> kFieldNames = [] {
    std::array<const char*, kFieldCount> names{"mac"};
    std::copy(kSettingNames.begin(), kSettingNames.end(), names.begin() + 1);
    const char* const others[] = {"https", "product", "maker", "firmware", "name", "adapter"};
    static_assert(1 + kSettingCount + std::size(others) == kFieldCount);
    std::copy(std::begin(others), std::end(others), names.begin() + 1 + kSettingCount);
    return names;
}();

std::optional<std::size_t> FieldNamed(std::string_view name)
{
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (name == kFieldNames[i])
            return i;
    }
    return std::nullopt;
}

std::string FieldNameList()
{
    std::string list;
    for (const char* name : kFieldNames) {
        if (!list.empty())
            list += ' ';
        list += name;
    }
    return list;
}

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
