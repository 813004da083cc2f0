// Dotted IPv4 text, read and written alike by the window and by nwctl. Host
// byte order throughout: 198.51.100.1 is 0xC6336401.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Four decimal numbers 0 to 255 joined by dots, nothing else: no blanks, no
// sign, no leading zeros (inet_addr and some browsers read "010" as octal,
// and so another host than the one shown).
std::optional<std::uint32_t> ParseIPv4(std::string_view text);

// Whether `text` is exactly such an address.
bool IsDottedIPv4(std::string_view text);

std::string FormatIPv4(std::uint32_t address);
