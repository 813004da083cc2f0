#include "scan_long.h"

#include <cctype>
#include <limits>

std::optional<std::int32_t> ScanLong(std::string_view text)
{
    text = text.substr(0, SCAN_LONG_MAX_TEXT);
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size() || !std::isdigit(static_cast<unsigned char>(text[i])))
        return std::nullopt;

    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (negative)
        return static_cast<std::int32_t>(magnitude >= limit ? -limit : -magnitude);
    return static_cast<std::int32_t>(magnitude >= limit ? limit - 1 : magnitude);
}
