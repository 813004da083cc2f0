// Dotted IPv4 addresses as nwctl reads and writes them. Host byte order
// throughout: 198.51.100.1 is 0xC6336401.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Four decimal numbers 0 to 255 joined by dots, nothing else: no blanks, no
// sign, no leading zeros (which some readers take for octal).
std::optional<std::uint32_t> ParseIPv4(std::string_view text);

std::string FormatIPv4(std::uint32_t address);

// The length of a netmask's prefix when its one bits are contiguous from the
// top (255.255.255.0 gives 24); none for 255.0.255.0.
std::optional<int> MaskPrefix(std::uint32_t mask);

// Whether a device can be given `address`: not on "this network"
// (0.0.0.0/8), loopback (127.0.0.0/8), multicast or reserved (224.0.0.0
// and above, the broadcast address among them).
bool IsHostAddress(std::uint32_t address);
