// The firmware tool's command line, element by element.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extension_command.h"
#include "windows_command_line.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

// Shift-JIS (code page 932): a lead byte's partner may be 0x5C, the byte of
// a backslash.
bool ShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

DISCOVERY_DATA Device(std::uint16_t webPort, const char* firmware)
{
    DISCOVERY_DATA record = {};
    record.webPort = webPort;
    std::strncpy(record.firmwareVersion, firmware, sizeof record.firmwareVersion);
    return record;
}

#ifdef _WIN32
bool AnsiLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}

// `line` as CommandLineToArgvW splits it, after the system's own reading of
// ANSI text, each argument back in ANSI.
std::vector<std::string> SystemSplit(const std::string& line)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), length);
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> args;
    for (int i = 0; argv && i < count; ++i) {
        const int size = ::WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(size), '\0');
        ::WideCharToMultiByte(CP_ACP, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        args.push_back(arg);
    }
    ::LocalFree(argv);
    return args;
}
#endif

TEST(ExtensionTool, CommandLines)
{
    const std::string tool = "./ExtensionTool/Reflash.exe ";
    const std::string forty = "u123456789012345678901234567890123456789";
    struct Case {
        const char* name;
        std::string userId;
        std::string password;
        std::vector<std::string> items;
        std::string expected;
    };
    const Case cases[] = {
        {"nothing typed, nothing ticked", "", "", {}, "./ExtensionTool/Reflash.exe "},
        {"user ID and one ticked row",
         "admin",
         "",
         {"192.0.2.10&80&1.2.3_20220807"},
         tool + " -u admin -i 192.0.2.10&80&1.2.3_20220807"},
        {"password only, as typed, not its digest", "", "s3cret", {}, tool + " -p s3cret"},
        {"40-character user ID passes 31", forty, "", {}, tool + " -u " + forty.substr(0, 31)},
        {"32-character password passes 31", "", std::string(32, 'p'), {}, tool + " -p " + std::string(31, 'p')},
        {"ampersands and backslashes pass as they are",
         "ad\\min&x",
         "p\\w&d\\",
         {"198.51.100.2&80&a\\b&c"},
         tool + " -u ad\\min&x -p p\\w&d\\ -i 198.51.100.2&80&a\\b&c"},
        {"blanks are quoted",
         "ad min&x",
         "p w&d",
         {"198.51.100.2&80&a b&c"},
         tool + " -u \"ad min&x\" -p \"p w&d\" -i \"198.51.100.2&80&a b&c\""},
        {"items in the order given",
         "root",
         "pw",
         {"198.51.100.3&81&f3", "198.51.100.1&82&f1", "198.51.100.2&83&f2"},
         tool + " -u root -p pw -i 198.51.100.3&81&f3 -i 198.51.100.1&82&f1 -i 198.51.100.2&83&f2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtensionToolCommandLine(c.userId, c.password, c.items, NoLeadBytes), c.expected);
    }
}

// Whatever the typed texts and the devices' firmware versions hold, the
// tool finds each of them as the one argument after its switch.
TEST(ExtensionTool, HostileTextsStayOneArgumentEach)
{
    const std::string tool = "./ExtensionTool/Reflash.exe";
    struct Case {
        const char* name;
        std::string userId;
        std::string password;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"a switch in a firmware version", "admin", "pw", {"198.51.100.2&80&1 -i 203.0.113.5&80&x"}},
        {"tabs", "ad\tmin", "p\tw", {"198.51.100.2&80&a\t-i\tb"}},
        {"quotes", "\"admin", "p\"w\"", {"198.51.100.2&80&\" -i 203.0.113.5&80&x \""}},
        {"a quote that closes a quoted part", "x\" -i 203.0.113.5&80&x \"y", "-p", {}},
        {"backslashes before a quote", "a\\\" -u root", "p\\\\\" -i x", {"198.51.100.2&80&\\\\\\\" b"}},
        {"trailing backslashes", "a b\\", "c d\\\\", {"198.51.100.2&80&e f\\\\\\"}},
        {"backslashes alone stay", "C:\\dir\\", "\\\\", {"198.51.100.2&80&a\\b c\\\\d"}},
        {"blank only", " ", "  ", {"198.51.100.2&80& "}},
        {"a doubled quote", "\"\"", "a\"\"b c", {"198.51.100.2&80&\"\" \"\""}},
        {"31 bytes of quotes", std::string(31, '"'), std::string(30, '\\') + "\"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> expected = {tool, "-u", c.userId, "-p", c.password};
        for (const std::string& item : c.items) {
            expected.push_back("-i");
            expected.push_back(item);
        }
        const std::string line = ExtensionToolCommandLine(c.userId, c.password, c.items, NoLeadBytes);
        EXPECT_EQ(SplitCommandLine(line), expected) << line;
#ifdef _WIN32
        // And as this system's own CommandLineToArgvW reads it.
        EXPECT_EQ(SystemSplit(ExtensionToolCommandLine(c.userId, c.password, c.items, AnsiLeadByte)), expected);
#endif
    }
}

TEST(ExtensionTool, QuotesOnlyWhatNeedsIt)
{
    struct Case {
        const char* name;
        std::string text;
        bool (*isLeadByte)(unsigned char);
        std::string expected;
        std::string readBack;  // the argument the tool finds
    };
    const Case cases[] = {
        {"plain", "admin", NoLeadBytes, "admin", "admin"},
        {"an item", "198.51.100.2&80&1.2.3_20220807", NoLeadBytes, "198.51.100.2&80&1.2.3_20220807",
         "198.51.100.2&80&1.2.3_20220807"},
        {"backslashes without a blank", "C:\\dir\\", NoLeadBytes, "C:\\dir\\", "C:\\dir\\"},
        {"a switch alone", "-i", NoLeadBytes, "-i", "-i"},
        {"empty", "", NoLeadBytes, "\"\"", ""},
        {"blank", "a b", NoLeadBytes, "\"a b\"", "a b"},
        {"tab", "a\tb", NoLeadBytes, "\"a\tb\"", "a\tb"},
        {"quote", "a\"b", NoLeadBytes, "\"a\\\"b\"", "a\"b"},
        {"backslash before a quote", "a\\\"b", NoLeadBytes, "\"a\\\\\\\"b\"", "a\\\"b"},
        {"backslashes inside stay single", "a\\\\b c", NoLeadBytes, "\"a\\\\b c\"", "a\\\\b c"},
        {"trailing backslashes doubled", "a b\\\\", NoLeadBytes, "\"a b\\\\\\\\\"", "a b\\\\"},
        // A two-byte character whose second byte is 0x5C is no backslash:
        // nothing doubles it.
        {"trail byte 0x5C before a quote", "\x81\x5C\"", ShiftJisLeadByte, "\"\x81\x5C\\\"\"", "\x81\x5C\""},
        {"trail byte 0x5C at the end", "a \x81\x5C", ShiftJisLeadByte, "\"a \x81\x5C\"", "a \x81\x5C"},
        // Taken whole with its lead byte, a quote byte quotes nothing.
        {"quote byte after a lead byte", "\x81\"x", ShiftJisLeadByte, "\x81\"x", "\x81\"x"},
        {"the same bytes without lead bytes", "\x81\"x", NoLeadBytes, "\"\x81\\\"x\"", "\x81\"x"},
        // It would take the blank or quote after it.
        {"lone lead byte at the end", "ab\x81", ShiftJisLeadByte, "ab?", "ab?"},
        {"lone lead byte at the end, quoted", "a b\x81", ShiftJisLeadByte, "\"a b?\"", "a b?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string arg = CommandLineArgument(c.text, c.isLeadByte);
        EXPECT_EQ(arg, c.expected);
        const std::vector<std::string> expected = {"tool", c.readBack, "-p", "x"};
        EXPECT_EQ(SplitCommandLine("tool " + arg + " -p x", c.isLeadByte), expected);
    }
}

TEST(ExtensionTool, StartsBesideTheProgram)
{
    struct Case {
        const char* modulePath;
        const char* folder;
        bool (*isLeadByte)(unsigned char);
    };
    const Case cases[] = {
        {"C:\\Program Files\\Nodewright\\Nodewright.exe", "C:\\Program Files\\Nodewright\\", NoLeadBytes},
        {"C:\\Nodewright.exe", "C:\\", NoLeadBytes},
        {"\\\\host\\share\\Nodewright.exe", "\\\\host\\share\\", NoLeadBytes},
        {"Z:\\tmp/app/Nodewright.exe", "Z:\\tmp/app/", NoLeadBytes},
        // 0x95 0x5C is one character of a folder's name, not its end.
        {"C:\\\x95\x5C\\Nodewright.exe", "C:\\\x95\x5C\\", ShiftJisLeadByte},
        {"C:\\\x95\x5CNodewright.exe", "C:\\", ShiftJisLeadByte},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modulePath);
        const auto place = ExtensionToolBeside(c.modulePath, c.isLeadByte);
        ASSERT_TRUE(place);
        EXPECT_EQ(place->folder, c.folder);
        EXPECT_EQ(place->application, std::string(c.folder) + "ExtensionTool\\Reflash.exe");
    }
    EXPECT_EQ(ExtensionToolBeside("Nodewright.exe", NoLeadBytes), std::nullopt);
    EXPECT_EQ(ExtensionToolBeside("", NoLeadBytes), std::nullopt);

    EXPECT_EQ(ExtensionToolFailureText("C:\\a\\ExtensionTool\\Reflash.exe", true),
              "The firmware tool was not found:\nC:\\a\\ExtensionTool\\Reflash.exe");
    EXPECT_EQ(ExtensionToolFailureText("C:\\a\\ExtensionTool\\Reflash.exe", false),
              "The firmware tool could not be started:\nC:\\a\\ExtensionTool\\Reflash.exe");
}

TEST(ExtensionTool, DeviceItems)
{
    EXPECT_EQ(ExtensionDeviceItem("192.0.2.10", Device(80, "1.2.3_20220807")), "192.0.2.10&80&1.2.3_20220807");
    EXPECT_EQ(ExtensionDeviceItem("192.0.2.10", Device(65535, "v")), "192.0.2.10&65535&v");
    EXPECT_EQ(ExtensionDeviceItem("192.0.2.10", Device(0, "")), "192.0.2.10&0&");
    // The address is the list's text, whatever the record holds.
    DISCOVERY_DATA record = Device(8080, "fw");
    std::strcpy(record.ipAddress, "203.0.113.9");
    EXPECT_EQ(ExtensionDeviceItem("198.51.100.7", record), "198.51.100.7&8080&fw");
    // A firmware version that fills its 36 bytes has no NUL: it ends there.
    const std::string full(36, 'F');
    DISCOVERY_DATA unterminated = Device(1, "");
    std::memcpy(unterminated.firmwareVersion, full.data(), full.size());
    unterminated.dhcp = 0x41414141;
    EXPECT_EQ(ExtensionDeviceItem("a", unterminated), "a&1&" + full);
}

}  // namespace
