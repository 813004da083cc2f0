// Whole numbers read from text: a port box's text, which must hold one
// number and nothing else, and a token of a firmware version or an address,
// whose leading number counts.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "scan_long.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct ScanCase {
    std::string text;
    std::optional<std::int32_t> expected;  // nullopt: no number can be read
};

TEST(ScanLeadingLong, ReadsLikeScanfLong)
{
    const ScanCase cases[] = {
        {"80", 80},
        {"80x", 80},
        {"12 34", 12},
        {" -5", -5},
        {"+7", 7},
        {"-0", 0},
        {" \t\n\v\f\r42", 42},
        {"\t-3", -3},
        {"0x10", 0},
        {"010", 10},  // decimal, never octal
        {std::string(40, '0') + "5", 5},
        {"", std::nullopt},
        {"x1", std::nullopt},
        {"   ", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"- 5", std::nullopt},
        {"+-5", std::nullopt},
        {"--5", std::nullopt},
        {".5", std::nullopt},
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"4294967296", kMax},
        {"99999999999999999999999999999999", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"-99999999999999999999999999999999", kMin},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(ScanLeadingLong(c.text), c.expected);
    }
}

// A port box holds one number with blanks around it, or it holds no number.
TEST(ScanLong, TheWholeTextIsOneNumber)
{
    const ScanCase cases[] = {
        {"80", 80},
        {" -5", -5},
        {"+7", 7},
        {"-0", 0},
        {"80 ", 80},
        {" \t80\t ", 80},
        {" \t\n\v\f\r42\r\n", 42},
        {"010", 10},  // decimal, never octal
        {std::string(40, '0') + "5", 5},
        {"80x", std::nullopt},
        {"80 x", std::nullopt},
        {"12 34", std::nullopt},
        {"8 0", std::nullopt},
        {"80.", std::nullopt},
        {"80.0", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
        {"80-", std::nullopt},
        {"80+1", std::nullopt},
        {std::string("80\0", 3), std::nullopt},
        {"", std::nullopt},
        {"x1", std::nullopt},
        {"   ", std::nullopt},
        {"+", std::nullopt},
        {"- 5", std::nullopt},
        {"--5", std::nullopt},
        // Out of range: the nearest end of the 32-bit range, as before.
        {"2147483647", kMax},
        {"2147483648", kMax},
        {" 99999999999999999999999999999999 ", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"-99999999999999999999999999999999", kMin},
        {"99999999999999999999999999999999x", std::nullopt},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE("text \"" + c.text + "\"");
        EXPECT_EQ(ScanLong(c.text), c.expected);
    }
}

// However long the text, all of it is read: a letter far behind the number
// is still seen, and many blanks before it are still blanks.
TEST(ScanLong, ReadsTheWholeText)
{
    const ScanCase cases[] = {
        {"5" + std::string(62, ' ') + "x", std::nullopt},
        {"5" + std::string(200, ' ') + "x", std::nullopt},
        {std::string(100, ' ') + "5", 5},
        {std::string(100, ' ') + "5" + std::string(100, ' '), 5},
        {std::string(100, '0') + "7", 7},
        {std::string(100, '9'), kMax},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE("text of " + std::to_string(c.text.size()) + " characters");
        EXPECT_EQ(ScanLong(c.text), c.expected);
    }
}

}  // namespace
