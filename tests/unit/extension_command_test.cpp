// The firmware tool's command line, element by element.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "extension_command.h"

namespace {

DISCOVERY_DATA Device(std::uint16_t webPort, const char* firmware)
{
    DISCOVERY_DATA record = {};
    record.webPort = webPort;
    std::strncpy(record.firmwareVersion, firmware, sizeof record.firmwareVersion);
    return record;
}

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
        {"blanks and ampersands pass as they are",
         "ad min&x",
         "p w&d",
         {"198.51.100.2&80&a b&c"},
         tool + " -u ad min&x -p p w&d -i 198.51.100.2&80&a b&c"},
        {"items in the order given",
         "root",
         "pw",
         {"198.51.100.3&81&f3", "198.51.100.1&82&f1", "198.51.100.2&83&f2"},
         tool + " -u root -p pw -i 198.51.100.3&81&f3 -i 198.51.100.1&82&f1 -i 198.51.100.2&83&f2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExtensionToolCommandLine(c.userId, c.password, c.items), c.expected);
    }
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
