// The command line that starts the firmware tool for the ticked devices.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "discovery_data.h"

// Relative on purpose: WinExec resolves it against the current directory.
constexpr char EXTENSION_TOOL_PATH[] = "./ExtensionTool/Reflash.exe ";

// One device for the tool: the IP address as the list shows it, then the
// record's web port and firmware version, joined by "&".
std::string ExtensionDeviceItem(std::string_view listedAddress, const DISCOVERY_DATA& record);

// The tool's path, then " -u " and the user ID and " -p " and the password
// when each is not empty (each counts with its first 31 bytes, as much as
// its box gives), then " -i " and each item. Nothing is quoted: the tool
// gets the texts exactly as they were typed.
std::string ExtensionToolCommandLine(std::string_view userId, std::string_view password,
                                     const std::vector<std::string>& deviceItems);
