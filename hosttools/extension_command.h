// The command line that starts the firmware tool for the ticked devices.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery_data.h"

// The tool's name as its command line has always begun: the tool may read
// its own folder from it. It is started by its full path all the same.
constexpr char EXTENSION_TOOL_PATH[] = "./ExtensionTool/Reflash.exe ";

// Where the tool lies, seen from the program's own folder.
constexpr char EXTENSION_TOOL_FILE[] = "ExtensionTool\\Reflash.exe";

// One device for the tool: the IP address as the list shows it, then the
// record's web port and firmware version, joined by "&".
std::string ExtensionDeviceItem(std::string_view listedAddress, const DISCOVERY_DATA& record);

// `text` as one argument of a Windows command line, for CommandLineToArgvW
// and the C runtime once the system has read the line in its ANSI code page
// (where `isLeadByte` starts a two-byte character, which that reading takes
// whole, whatever its second byte). A text without a blank, tab or double
// quote stays as it is; any other is quoted, its quotes escaped with the
// backslashes before them and before the closing quote doubled. A lead byte
// that ends the text would take the byte after it into its character: it
// becomes "?", as the system shows a broken character.
std::string CommandLineArgument(std::string_view text, bool (*isLeadByte)(unsigned char));

// The tool's path, then " -u " and the user ID and " -p " and the password
// when each is not empty (each counts with its first 31 bytes, as much as
// its box gives), then " -i " and each item; every text after a switch is
// one argument (CommandLineArgument), so that none can add switches.
std::string ExtensionToolCommandLine(std::string_view userId, std::string_view password,
                                     const std::vector<std::string>& deviceItems, bool (*isLeadByte)(unsigned char));

// Where the tool is started: the folder of the program's executable (with
// its closing separator), taken from the executable's full path, and the
// tool's full path in it. Null when the path names no folder.
struct ExtensionToolPlace {
    std::string folder;
    std::string application;
};
std::optional<ExtensionToolPlace> ExtensionToolBeside(std::string_view modulePath, bool (*isLeadByte)(unsigned char));

// The box shown when the tool could not be started, naming the file it was
// looked for at.
std::string ExtensionToolFailureText(std::string_view application, bool missing);
