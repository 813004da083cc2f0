// Dotted IPv4 text: what the window hands to the browser (IsDottedIPv4) and
// what nwctl reads from its arguments and files (ParseIPv4) must be a plain
// address and nothing that only looks like one.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ipv4_text.h"

namespace {

struct TextCase {
    std::string text;
    std::optional<std::uint32_t> address;
};

TEST(IPv4Text, OnlyFourPlainDecimalPartsOf0To255)
{
    const TextCase cases[] = {
        {"198.51.100.40", 0xC6336428u},
        {"0.0.0.0", 0},
        {"255.255.255.255", 0xFFFFFFFFu},
        {"10.0.0.1", 0x0A000001u},
        {"1.22.133.255", 0x011685FFu},
        // Too few or too many parts, empty parts.
        {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"...", std::nullopt},
        {"1..2.3", std::nullopt},
        {".1.2.3", std::nullopt},
        {"1.2.3.", std::nullopt},
        {"1.2.3.4.", std::nullopt},
        // Out of range, also where a reader without a digit limit would wrap
        // round to a small number.
        {"256.1.1.1", std::nullopt},
        {"1.2.3.256", std::nullopt},
        {"1.2.3.1000", std::nullopt},
        {"999.1.1.1", std::nullopt},
        {"4294967297.1.1.1", std::nullopt},
        // Leading zeros: inet_addr and some browsers read such a part as
        // octal.
        {"010.1.1.1", std::nullopt},
        {"01.2.3.4", std::nullopt},
        {"1.2.3.04", std::nullopt},
        {"00.1.1.1", std::nullopt},
        {"0255.1.1.1", std::nullopt},
        // Blanks, signs and other spellings of a number.
        {" 1.2.3.4", std::nullopt},
        {"1.2.3.4 ", std::nullopt},
        {"1.2. 3.4", std::nullopt},
        {"1.2.3.4\t", std::nullopt},
        {"1.2.3.4\n", std::nullopt},
        {"-1.2.3.4", std::nullopt},
        {"+1.2.3.4", std::nullopt},
        {"1.2.3.-4", std::nullopt},
        {"0x1.2.3.4", std::nullopt},
        {"1e2.1.1.1", std::nullopt},
        {"1,2,3,4", std::nullopt},
        // Whatever might follow an address onto a command line or a URL.
        {"1.2.3.4 -x", std::nullopt},
        {"-x 1.2.3.4", std::nullopt},
        {"\"1.2.3.4\"", std::nullopt},
        {"1.2.3.4\" -new-window \"x", std::nullopt},
        {"1.2.3.4:80", std::nullopt},
        {"1.2.3.4/24", std::nullopt},
        {std::string("1.2.3.4\0-x", 10), std::nullopt},
        {std::string("1.2\0.3.4", 8), std::nullopt},
        // Names and other families.
        {"a.b.c.d", std::nullopt},
        {"localhost", std::nullopt},
        {"fe80::1", std::nullopt},
        // Long and binary texts.
        {std::string(100000, '1'), std::nullopt},
        {"1.2.3." + std::string(100000, '0'), std::nullopt},
        {"1.2.3.4" + std::string(100000, ' '), std::nullopt},
        {std::string(31, '\x9f'), std::nullopt},
        {"\xff\xfe\x80\x01\x7f.\x1b[2J;&|<>%PATH%^!$(rm)`x`", std::nullopt},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text.substr(0, 40) + "\"");
        EXPECT_EQ(ParseIPv4(c.text), c.address);
        EXPECT_EQ(IsDottedIPv4(c.text), c.address.has_value());
        if (c.address) {
            EXPECT_EQ(FormatIPv4(*c.address), c.text);
        }
    }
}

}  // namespace
