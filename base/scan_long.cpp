#include "scan_long.h"

#include <cctype>
#include <limits>

namespace {

bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Reads blanks, a sign and digits from `text` at `i`, leaving `i` after the
// last digit; no number when no digit follows.
std::optional<std::int32_t> ReadNumber(std::string_view text, std::size_t& i)
{
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size() || !IsDigit(text[i]))
        return std::nullopt;

    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative)
        return static_cast<std::int32_t>(magnitude >= limit ? -limit : -magnitude);
    return static_cast<std::int32_t>(magnitude >= limit ? limit - 1 : magnitude);
}

}  // namespace

std::optional<std::int32_t> ScanLeadingLong(std::string_view text)
{
    std::size_t i = 0;
    return ReadNumber(text, i);
}

std::optional<std::int32_t> ScanLong(std::string_view text)
{
    std::size_t i = 0;
    const std::optional<std::int32_t> number = ReadNumber(text, i);
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size())
        return std::nullopt;
    return number;
}
