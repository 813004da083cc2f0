// MAC addresses as an operator types them. The devices' own MAC texts stay
// what identifies them on the wire; this only finds the device meant.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using MacAddress = std::array<unsigned char, 6>;

// Six pairs of hex digits joined by ":" or by "-" (one of them throughout),
// three groups of four joined by ".", or twelve digits in a row; either
// case.
std::optional<MacAddress> ParseMac(std::string_view text);

// "00:1A:2B:00:00:01".
std::string FormatMac(const MacAddress& mac);

// The MACs for a message, each by FormatMac: "A", "A and B", "A, B and C".
std::string MacList(const std::vector<MacAddress>& macs);

// MacList cut short for a line: the first `most` and how many more,
// "A, B, C and 14 more"; all of them when they are no more than `most`.
std::string ShortMacList(const std::vector<MacAddress>& macs, std::size_t most);

// The forms ParseMac takes, for messages.
constexpr char kMacForms[] =
    "six pairs of hex digits joined by : or by - (00:1A:2B:3C:4D:5E or 00-1A-2B-3C-4D-5E), three groups of four "
    "joined by . (001A.2B3C.4D5E), or twelve hex digits in a row (001A2B3C4D5E), in either case";

// The message for a text that ParseMac refused: the text quoted, made safe
// and cut if long, "is not a MAC address: give" the forms.
std::string NotAMac(std::string_view text);
