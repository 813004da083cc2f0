// The address a double click hands to the browser, which must never be
// anything but a plain IPv4 address from the device, and the lines of the
// list export.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "device_links.h"
#include "record_bytes.h"

namespace {

struct AddressCase {
    std::string text;
    bool accepted;
};

TEST(IsDottedIPv4, OnlyFourDecimalPartsOf0To255)
{
    const AddressCase cases[] = {
        {"198.51.100.40", true},
        {"0.0.0.0", true},
        {"255.255.255.255", true},
        {"10.0.0.1", true},
        {"1.2.3", false},
        {"1.2.3.4.5", false},
        {"256.1.1.1", false},
        {"1.2.3.256", false},
        {"1.2.3.1000", false},
        {"999.1.1.1", false},
        // Leading zeros: some browsers read such a part as octal.
        {"010.1.1.1", false},
        {"1.2.3.04", false},
        {"00.1.1.1", false},
        {" 1.2.3.4", false},
        {"1.2.3.4 ", false},
        {"1.2. 3.4", false},
        {"-1.2.3.4", false},
        {"+1.2.3.4", false},
        {"1.2.3.4 -x", false},
        {"-x 1.2.3.4", false},
        {"1.2.3.4\t", false},
        {"1.2.3.4\n", false},
        {"\"1.2.3.4\"", false},
        {"1.2.3.4\" -new-window \"x", false},
        {"", false},
        {".", false},
        {"...", false},
        {"1..2.3", false},
        {".1.2.3", false},
        {"1.2.3.", false},
        {"1.2.3.4.", false},
        {"0x1.2.3.4", false},
        {"1e2.1.1.1", false},
        {"a.b.c.d", false},
        {"localhost", false},
        {"fe80::1", false},
        {"1.2.3.4:80", false},
        {"1.2.3.4/x", false},
        {std::string("1.2.3.4\0-x", 10), false},
        {std::string(31, '\x9f'), false},
        {"\xff\xfe\x80\x01\x7f.\x1b[2J;&|<>%PATH%^!$(rm)`x`", false},
    };
    for (const AddressCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(IsDottedIPv4(c.text), c.accepted);
    }
}

struct WebCase {
    std::string ipField;  // the field's bytes, NUL after them when they fit
    int httpsEnabled;
    long webPort;
    std::optional<std::string> address;
};

TEST(DeviceWebAddress, FromTheRecordsAddressAndThePanel)
{
    const WebCase cases[] = {
        {"198.51.100.40", 0, 8080, "http://198.51.100.40:8080"},
        {"198.51.100.40", 1, 8080, "https://198.51.100.40"},
        {"198.51.100.40", 255, 8080, "https://198.51.100.40"},
        {"198.51.100.40", 0, 65536, "http://198.51.100.40:65536"},
        {"198.51.100.40", 0, -1, "http://198.51.100.40:4294967295"},
        {"198.51.100.40 -x", 0, 80, std::nullopt},
        {"-198.51.100.40", 1, 80, std::nullopt},
        {"", 0, 80, std::nullopt},
        // 32 bytes without a NUL: the field's text is all of them.
        {"198.51.100.40" + std::string(19, ' '), 0, 80, std::nullopt},
        {std::string(32, '\x90'), 0, 80, std::nullopt},
    };
    for (const WebCase& c : cases) {
        SCOPED_TRACE("address \"" + c.ipField + "\"");
        DISCOVERY_DATA record = FilledRecord('9');
        PutField(record.ipAddress, c.ipField);
        EXPECT_EQ(DeviceWebAddress(record, c.httpsEnabled, c.webPort), c.address);
    }
}

struct ExportCase {
    std::string product;
    std::string mac;
    std::string ip;
    std::string line;
};

TEST(ExportLine, EveryLineFeedIsWrittenAsCrLf)
{
    const ExportCase cases[] = {
        {"IPC-100", "00:1A:2B:00:00:01", "198.51.100.40", "[IPC-100] 00:1A:2B:00:00:01\t198.51.100.40\r\n"},
        {"", "", "", "[] \t\r\n"},
        {"Cam\nTwo", "00:1A\n", "\n1.2.3.4", "[Cam\r\nTwo] 00:1A\r\n\t\r\n1.2.3.4\r\n"},
        {"\n\n", "m", "i", "[\r\n\r\n] m\ti\r\n"},
        // A CR LF stays one; a CR alone stays a CR.
        {"Cam\r\nTwo", "m\r\n", "i", "[Cam\r\nTwo] m\r\n\ti\r\n"},
        {"Cam\r\r\nTwo", "m", "i\r", "[Cam\r\r\nTwo] m\ti\r\r\n"},
        {"\r", "\n\r", "i", "[\r] \r\n\r\ti\r\n"},
    };
    for (const ExportCase& c : cases) {
        SCOPED_TRACE("product \"" + c.product + "\"");
        EXPECT_EQ(ExportLine(c.product, c.mac, c.ip), c.line);
    }
}

}  // namespace
