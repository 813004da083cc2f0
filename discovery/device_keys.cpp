#include "device_keys.h"

#include "text_field.h"

bool RepeatsListedDevice(const DISCOVERY_DATA& listed, const DISCOVERY_DATA& reply)
{
    const std::string mac = ReadTextField(reply.macAddress);
    const std::string ip = ReadTextField(reply.ipAddress);
    return !mac.empty() && !ip.empty() && mac == ReadTextField(listed.macAddress) &&
           ip == ReadTextField(listed.ipAddress);
}

std::string DeviceKeys::Key(const DISCOVERY_DATA& record)
{
    const std::string mac = ReadTextField(record.macAddress);
    const std::string ip = ReadTextField(record.ipAddress);
    if (mac.empty() || ip.empty())
        return {};
    // A text field holds no NUL, so the pair is unambiguous.
    return mac + '\0' + ip;
}

void DeviceKeys::Add(const DISCOVERY_DATA& record)
{
    if (const std::string key = Key(record); !key.empty())
        ++counts[key];
}

void DeviceKeys::Replace(const DISCOVERY_DATA& before, const DISCOVERY_DATA& after)
{
    if (const std::string key = Key(before); !key.empty()) {
        const auto found = counts.find(key);
        if (found != counts.end() && --found->second == 0)
            counts.erase(found);
    }
    Add(after);
}

bool DeviceKeys::Contains(const DISCOVERY_DATA& record) const
{
    const std::string key = Key(record);
    return !key.empty() && counts.count(key) != 0;
}
