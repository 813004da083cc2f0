// The device a MAC on the command line names, among those a search found.
#pragma once

#include <string>
#include <vector>

#include "device/found_devices.h"
#include "device/mac.h"

// The one device that answered with `mac`; false with `error` when none
// did, or more than one (at different addresses).
bool FindOneDevice(const std::vector<FoundDevice>& found, const MacAddress& mac, const FoundDevice*& device,
                   std::string& error);
