// The lines of the list export, "SearchIPList.txt": a text's line feeds
// must not break a line in a reader that wants CR LF.
#include <gtest/gtest.h>

#include <string>

#include "export_line.h"

namespace {

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
