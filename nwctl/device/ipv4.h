// What nwctl asks of an IPv4 address beyond its text (ipv4_text.h): whether
// it is a subnet mask, and whether a device may be given it. Host byte order.
#pragma once

#include <cstdint>
#include <optional>

// The length of a netmask's prefix when its one bits are contiguous from the
// top (255.255.255.0 gives 24); none for 255.0.255.0.
std::optional<int> MaskPrefix(std::uint32_t mask);

// The netmask of a prefix of 0 to 32 bits (24 gives 255.255.255.0).
std::uint32_t PrefixMask(int prefix);

// Whether a device can be given `address`: not on "this network"
// (0.0.0.0/8), loopback (127.0.0.0/8), multicast or reserved (224.0.0.0
// and above, the broadcast address among them).
bool IsHostAddress(std::uint32_t address);
