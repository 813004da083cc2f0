// MAC addresses as an operator types them. The devices' own MAC texts stay
// what identifies them on the wire; this only finds the device meant.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

using MacAddress = std::array<unsigned char, 6>;

// Six pairs of hex digits joined by ":" or by "-" (one of them throughout),
// three groups of four joined by ".", or twelve digits in a row; either
// case.
std::optional<MacAddress> ParseMac(std::string_view text);

// "00:1A:2B:00:00:01".
std::string FormatMac(const MacAddress& mac);
