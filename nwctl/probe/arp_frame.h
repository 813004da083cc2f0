// ARP probes as a host sends them before it takes an address: from its own
// MAC but no address of its own, so that every host holding the address
// answers, whatever subnet it believes it is on. And what an ARP frame
// heard on the LAN says about who holds which address.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "arp_layout.h"
#include "device/mac.h"

// The ARP part of an Ethernet frame (the link layer adds its header).
constexpr std::size_t kArpFrameBytes = arp::kBytes;
using ArpFrame = std::array<unsigned char, kArpFrameBytes>;

// A request for `target` from `sender`, sender address 0.0.0.0, target MAC
// all zeros; it goes to the Ethernet broadcast address.
ArpFrame MakeArpProbe(const MacAddress& sender, std::uint32_t target);

struct ArpHolder {
    std::uint32_t address;  // host byte order
    MacAddress mac;
};

// Who an ARP frame says holds an address: the sender of a reply, or of a
// request or announcement that carries a sender address. None for anything
// else: frames too short or not Ethernet/IPv4 ARP, other operations, a
// sender address of 0.0.0.0 (another host's probe), a sender MAC that is
// zero, broadcast or multicast (no host has one). Bytes past the ARP part
// (Ethernet padding) are ignored.
std::optional<ArpHolder> ArpFrameHolder(const unsigned char* bytes, std::size_t size);
