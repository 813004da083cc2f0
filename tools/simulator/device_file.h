// The device description file: INI-like sections, one per device.
//
//   # comment (also ; comment)
//   [device]
//   macAddress = 00:1A:2B:00:00:10
//   productName.hex = 4142
//   answers = 1
//
// Each [device] section starts from the patterned device of its position and
// takes the same keys as --device. Blanks around keys and values are dropped;
// give a value's exact bytes with KEY.hex.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sim_device.h"

// Appends the file's devices to `devices`, patterned from their position in
// it. On a bad line: false, `devices` unchanged, and `error` says
// "line N: what is wrong".
bool ParseDeviceFile(std::string_view text, std::vector<SimDevice>& devices, std::string& error);
