// ARP as a simulated camera speaks it: the requests it hears, the hardware
// address it answers from, and its reply as a whole Ethernet frame, since
// the reply leaves from the camera's MAC and not from the interface's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

using HardwareAddress = std::array<unsigned char, 6>;

// Ethernet header (14 bytes) and the Ethernet/IPv4 ARP part (28).
constexpr std::size_t kArpFrameBytes = 42;
using ArpReplyFrame = std::array<unsigned char, kArpFrameBytes>;

struct ArpRequest {
    HardwareAddress destination;  // of the Ethernet frame: broadcast, or the one host asked
    HardwareAddress senderMac;
    std::uint32_t senderAddress;  // host byte order; 0 for a probe
    std::uint32_t targetAddress;
};

// The request an Ethernet frame holds: Ethernet/IPv4 ARP, operation 1, from
// a MAC that a host can have (not zero, no group bit). None for anything
// else; bytes past the ARP part (padding) are ignored.
std::optional<ArpRequest> ReadArpRequest(const unsigned char* frame, std::size_t size);

// Whether the host with `mac` hears the request: it was broadcast, or sent
// to that host alone (as a neighbour table checks an entry it holds).
bool HearsArpRequest(const HardwareAddress& mac, const ArpRequest& request);

// The reply of the host with `mac` that holds `request.targetAddress`, as
// Linux sends it: to the sender's MAC and address, which for a probe is
// 0.0.0.0, the reply still going to the prober alone.
ArpReplyFrame MakeArpReply(const HardwareAddress& mac, const ArpRequest& request);

// The hardware address a device's MAC text names: six pairs of hex digits
// joined by ":" or by "-", in either case. None for other texts (the
// simulator plays hostile records too) and for addresses that no interface
// has: zero, broadcast, multicast.
std::optional<HardwareAddress> HardwareAddressOf(std::string_view macText);
