// The address a double click hands to the browser, which must never be
// anything but a plain IPv4 address from the device.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "record_bytes.h"
#include "web_address.h"

namespace {

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

}  // namespace
