// Texts in JSON: every byte comes back exactly, no control character is
// written raw, and the ASCII form holds nothing above 0x7E.
#include <gtest/gtest.h>

#include <string>

#include "json_text.h"

namespace {

// The bytes a JSON string holds, each character U+0000 to U+00FF taken back
// as one byte; a written-out decoder, independent of the writer.
std::string Decode(const std::string& json)
{
    std::string bytes;
    EXPECT_GE(json.size(), 2u);
    for (std::size_t i = 1; i + 1 < json.size(); ++i) {
        const auto c = static_cast<unsigned char>(json[i]);
        if (c == '\\') {
            const char kind = json[++i];
            if (kind == 'u') {
                bytes += static_cast<char>(std::stoi(json.substr(i + 1, 4), nullptr, 16));
                i += 4;
            } else {
                bytes += kind;
            }
        } else if (c == 0xC2 || c == 0xC3) {
            bytes += static_cast<char>((c & 0x1F) << 6 | (static_cast<unsigned char>(json[++i]) & 0x3F));
        } else {
            EXPECT_GE(c, 0x20) << "a raw control character";
            EXPECT_LT(c, 0x7F) << "a raw byte outside printable ASCII";
            bytes += static_cast<char>(c);
        }
    }
    return bytes;
}

TEST(JsonText, EachFormWritesTheBytesAsItSays)
{
    struct Case {
        std::string bytes;
        const char* utf8;
        const char* ascii;
    } const cases[] = {
        {"plain 1.2.3.4", "\"plain 1.2.3.4\"", "\"plain 1.2.3.4\""},
        {"", "\"\"", "\"\""},
        {"quote \" and backslash \\", "\"quote \\\" and backslash \\\\\"", "\"quote \\\" and backslash \\\\\""},
        {std::string("nul\0tab\tnl\n", 11), "\"nul\\u0000tab\\u0009nl\\u000a\"", "\"nul\\u0000tab\\u0009nl\\u000a\""},
        // C1 controls are escaped in both: as UTF-8 they would still steer a
        // terminal.
        {"\x7f\x80\x9b\x9f", "\"\\u007f\\u0080\\u009b\\u009f\"", "\"\\u007f\\u0080\\u009b\\u009f\""},
        {"\xa0\xb0\xff", "\"\xc2\xa0\xc2\xb0\xc3\xbf\"", "\"\\u00a0\\u00b0\\u00ff\""},
        {"</script>", "\"</script>\"", "\"</script>\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonString(c.bytes, JsonBytes::Utf8), c.utf8);
        EXPECT_EQ(JsonString(c.bytes, JsonBytes::Ascii), c.ascii);
    }
}

TEST(JsonText, EveryByteComesBack)
{
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte)
        bytes += static_cast<char>(byte);
    for (const JsonBytes form : {JsonBytes::Utf8, JsonBytes::Ascii}) {
        const std::string json = JsonString(bytes, form);
        EXPECT_EQ(Decode(json), bytes) << json;
    }
    for (const char c : JsonString(bytes, JsonBytes::Ascii))
        EXPECT_LT(static_cast<unsigned char>(c), 0x7F);
}

}  // namespace
