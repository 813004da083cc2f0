// What a search found: every search reply, taken in by the duplicate rule of
// the device list, with the adapter it came in on.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "device/mac.h"
#include "device_keys.h"
#include "discovery_data.h"

// Said of a named device that did not answer a search: a device does not
// answer while it restarts, and nwctl cannot know that one is.
constexpr char kMayBeRestarting[] =
    "if it is restarting (after a reboot, a reset or new settings), search again once it is up";

struct FoundDevice {
    DISCOVERY_DATA record;
    std::string adapter;  // empty when it cannot be told
};

class SearchIntake {
public:
    // One received record. True when it is a search reply, by the window's
    // rule, that lists a device not listed yet.
    bool Take(const DISCOVERY_DATA& record, const std::string& adapter);

    const std::vector<FoundDevice>& Devices() const { return devices_; }

private:
    DeviceKeys keys_;
    std::vector<FoundDevice> devices_;
};

// The found devices by the MAC their text reads as, looked up in log time:
// plans and inventories of thousands of lines are checked against
// thousands of devices. Devices whose MAC text is no MAC are not in it.
class DevicesByMac {
public:
    explicit DevicesByMac(const std::vector<FoundDevice>& found);

    // In the order they were found; empty when none answered with `mac`.
    const std::vector<const FoundDevice*>& With(const MacAddress& mac) const;

private:
    std::map<MacAddress, std::vector<const FoundDevice*>> devices_;
};
