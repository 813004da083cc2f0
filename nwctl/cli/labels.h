// How messages name a device and a time.
#pragma once

#include <string>

#include "device/found_devices.h"

// "00:1A:2B:00:00:01 at 192.0.2.10 (SimCam-0001)", made safe to show.
std::string DeviceLabel(const FoundDevice& device);

// "5", "0.5": seconds as an operator typed them.
std::string SecondsText(double seconds);
