#include "commands/device_lookup.h"

#include "device/found_devices.h"
#include "io/safe_text.h"
#include "text_field.h"

bool FindOneDevice(const std::vector<FoundDevice>& found, const MacAddress& mac, const FoundDevice*& device,
                   std::string& error)
{
    const DevicesByMac byMac(found);
    const std::vector<const FoundDevice*>& devices = byMac.With(mac);
    if (devices.size() == 1) {
        device = devices.front();
        return true;
    }
    if (devices.empty()) {
        error = FormatMac(mac) + " did not answer the search; " + kMayBeRestarting;
    } else {
        error = FormatMac(mac) + " answered from " + std::to_string(devices.size()) + " addresses:";
        for (const FoundDevice* other : devices) {
            error += ' ';
            error += SafeText(ReadTextField(other->record.ipAddress));
        }
    }
    return false;
}
