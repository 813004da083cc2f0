// Bytes as hexadecimal text and back: raw field contents on the simulator's
// command line and in its log, MAC addresses typed for nwctl.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Two lower-case digits per byte.
std::string ToHex(const unsigned char* data, std::size_t length);
inline std::string ToHex(std::string_view bytes)
{
    return ToHex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// Pairs of hex digits (either case), nothing else. False for an odd count
// or any other character.
bool ParseHex(std::string_view text, std::string& bytes);
