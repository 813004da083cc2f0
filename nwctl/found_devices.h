// What a search found: every search reply, taken in by the duplicate rule of
// the device list, with the adapter it came in on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "device_keys.h"
#include "discovery_data.h"

struct FoundDevice {
    DISCOVERY_DATA record;
    std::string adapter;  // empty when it cannot be told
};

class SearchIntake {
public:
    // One datagram of `length` bytes, the rest of `record` zero. True when
    // it is a search reply that lists a device not listed yet.
    bool Take(const DISCOVERY_DATA& record, std::size_t length, const std::string& adapter);

    const std::vector<FoundDevice>& Devices() const { return devices_; }

private:
    DeviceKeys keys_;
    std::vector<FoundDevice> devices_;
};
