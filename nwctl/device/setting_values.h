// A setting's value as an operator types it, on the command line or in a
// plan's cell.
#pragma once

#include <string>
#include <string_view>

#include "device/setting_names.h"

// The value of a port or mode setting as typed (blanks around it are the
// caller's to remove): a port is a decimal number 0 to 65535, a mode is
// "static" or "dhcp" in either case. False with `error` otherwise.
bool ParseSettingValue(Setting setting, std::string_view text, std::string& canonical, std::string& error);
