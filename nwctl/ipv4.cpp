#include "ipv4.h"

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

std::string FormatIPv4(std::uint32_t address)
{
    return std::to_string(address >> 24) + '.' + std::to_string(address >> 16 & 0xFFu) + '.' +
           std::to_string(address >> 8 & 0xFFu) + '.' + std::to_string(address & 0xFFu);
}

std::optional<int> MaskPrefix(std::uint32_t mask)
{
    int prefix = 0;
    while (prefix < 32 && (mask & (0x80000000u >> prefix)))
        ++prefix;
    // Every bit below the prefix must be zero.
    const std::uint32_t ones = prefix == 0 ? 0 : ~0u << (32 - prefix);
    if (mask != ones)
        return std::nullopt;
    return prefix;
}

bool IsHostAddress(std::uint32_t address)
{
    return address >> 24 != 0 && address >> 24 != 127 && address >> 28 < 0xE;
}
