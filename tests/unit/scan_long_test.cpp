// A port box's text read as a whole number: what the operator can type, and
// what the box may hold when it is pasted into.
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

TEST(ScanLong, ReadsLikeScanfLong)
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
        EXPECT_EQ(ScanLong(c.text), c.expected);
    }
}

// A box hands over at most 63 characters; what lies beyond is never read.
TEST(ScanLong, SeesOnlyTheFirst63Characters)
{
    const ScanCase cases[] = {
        {std::string(62, ' ') + "5", 5},
        {std::string(63, ' ') + "5", std::nullopt},
        {std::string(62, ' ') + "-5", std::nullopt},
        {std::string(60, ' ') + "12345", 123},
        {std::string(63, '0') + "7", 0},
        {std::string(53, ' ') + "9999999999" + "9", kMax},
        {std::string(100, ' ') + "5", std::nullopt},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE("text of " + std::to_string(c.text.size()) + " characters");
        EXPECT_EQ(ScanLong(c.text), c.expected);
    }
}

}  // namespace
