// The layout of the ARP part of an Ethernet frame for IPv4 (RFC 826), as
// nwctl's probe writes and reads it and as the simulated devices answer it:
// one place for the offsets, codes and byte order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace arp {

constexpr std::size_t kBytes = 28;  // the ARP part; the link layer adds its header
constexpr std::uint16_t kEtherType = 0x0806;
constexpr std::uint16_t kRequest = 1;
constexpr std::uint16_t kReply = 2;

// Offsets in the ARP part.
constexpr std::size_t kOperation = 6, kSenderMac = 8, kSenderAddress = 14, kTargetMac = 18, kTargetAddress = 24;

inline std::uint16_t Get16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

inline std::uint32_t Get32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) << 24 | static_cast<std::uint32_t>(at[1]) << 16 |
           static_cast<std::uint32_t>(at[2]) << 8 | at[3];
}

inline void Put16(unsigned char* at, std::uint16_t value)
{
    at[0] = static_cast<unsigned char>(value >> 8);
    at[1] = static_cast<unsigned char>(value);
}

inline void Put32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

// Whether the ARP part at `part` is Ethernet over IPv4, whatever its operation.
inline bool IsEthernetIPv4(const unsigned char* part)
{
    return Get16(part) == 1 && Get16(part + 2) == 0x0800 && part[4] == 6 && part[5] == 4;
}

// Writes the Ethernet/IPv4 header fields and `operation`; the addresses are
// the caller's.
inline void PutEthernetIPv4(unsigned char* part, std::uint16_t operation)
{
    Put16(part, 1);
    Put16(part + 2, 0x0800);
    part[4] = 6;
    part[5] = 4;
    Put16(part + kOperation, operation);
}

// Whether a host can have this MAC: not zero, and the group bit (broadcast
// and multicast) clear.
inline bool IsHostMac(const unsigned char* mac)
{
    return !std::all_of(mac, mac + 6, [](unsigned char b) { return b == 0; }) && (mac[0] & 1) == 0;
}

}  // namespace arp
