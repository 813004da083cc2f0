#include "ipv4_text.h"

std::optional<std::uint32_t> ParseIPv4(std::string_view text)
{
    std::uint32_t address = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        const std::size_t start = at;
        unsigned value = 0;
        // A fourth digit is read only to be refused, so the value never
        // overflows.
        while (at < text.size() && at - start < 4 && text[at] >= '0' && text[at] <= '9')
            value = value * 10 + static_cast<unsigned>(text[at++] - '0');
        const std::size_t digits = at - start;
        if (digits == 0 || digits > 3 || value > 255 || (digits > 1 && text[start] == '0'))
            return std::nullopt;
        address = address << 8 | value;
    }
    if (at != text.size())
        return std::nullopt;
    return address;
}

bool IsDottedIPv4(std::string_view text)
{
    return ParseIPv4(text).has_value();
}

std::string FormatIPv4(std::uint32_t address)
{
    return std::to_string(address >> 24) + '.' + std::to_string(address >> 16 & 0xFFu) + '.' +
           std::to_string(address >> 8 & 0xFFu) + '.' + std::to_string(address & 0xFFu);
}
