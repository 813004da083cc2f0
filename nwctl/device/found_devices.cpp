#include "device/found_devices.h"

#include "datagram.h"
#include "text_field.h"

bool SearchIntake::Take(const DISCOVERY_DATA& record, const std::string& adapter)
{
    if (FeatureOfDatagram(record) != DatagramFeature::SearchReply || keys_.Contains(record))
        return false;
    keys_.Add(record);
    devices_.push_back(FoundDevice{record, adapter});
    return true;
}

DevicesByMac::DevicesByMac(const std::vector<FoundDevice>& found)
{
    for (const FoundDevice& device : found) {
        if (const auto mac = ParseMac(ReadTextField(device.record.macAddress)))
            devices_[*mac].push_back(&device);
    }
}

const std::vector<const FoundDevice*>& DevicesByMac::With(const MacAddress& mac) const
{
    static const std::vector<const FoundDevice*> none;
    const auto devices = devices_.find(mac);
    return devices == devices_.end() ? none : devices->second;
}
