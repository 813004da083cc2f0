#include "ipv4.h"

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
