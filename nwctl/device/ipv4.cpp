#include "device/ipv4.h"

std::optional<int> MaskPrefix(std::uint32_t mask)
{
    int prefix = 0;
    while (prefix < 32 && (mask & (0x80000000u >> prefix)))
        ++prefix;
    // Every bit below the prefix must be zero.
    if (mask != PrefixMask(prefix))
        return std::nullopt;
    return prefix;
}

std::uint32_t PrefixMask(int prefix)
{
    return prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
}

bool IsHostAddress(std::uint32_t address)
{
    return address >> 24 != 0 && address >> 24 != 127 && address >> 28 < 0xE;
}
