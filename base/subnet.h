// IPv4 subnets, host byte order: what a mask is, which addresses a subnet
// holds, and which of them a host can be given. One set of rules for the
// plan and assign checks, the probe's operands and the adapters' links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The length of a netmask's prefix when its one bits are contiguous from the
// top (255.255.255.0 gives 24); none for 255.0.255.0.
std::optional<int> MaskPrefix(std::uint32_t mask);

// The netmask of a prefix of 0 to 32 bits (24 gives 255.255.255.0).
std::uint32_t PrefixMask(int prefix);

// Whether anything on any subnet can be given `address`: not on "this
// network" (0.0.0.0/8), loopback (127.0.0.0/8), multicast or reserved
// (224.0.0.0 and above, the limited broadcast address among them).
bool IsHostAddress(std::uint32_t address);

// An address on a subnet and the subnet's prefix: 198.51.100.7/24.
class Subnet {
public:
    // `prefix` from 0 to 32.
    Subnet(std::uint32_t address, int prefix);
    // None when `mask` is no netmask (its one bits not contiguous).
    static std::optional<Subnet> WithMask(std::uint32_t address, std::uint32_t mask);

    std::uint32_t Address() const { return address_; }
    int Prefix() const { return prefix_; }
    std::uint32_t Mask() const { return PrefixMask(prefix_); }
    std::uint32_t Network() const { return address_ & Mask(); }
    std::uint32_t Broadcast() const { return address_ | ~Mask(); }
    // Whether `address` lies within it.
    bool Contains(std::uint32_t address) const { return (address & Mask()) == Network(); }
    // Whether a host on it can have `address`: within it and neither its
    // network nor its broadcast address; a /31 or /32 has neither of its own
    // (RFC 3021), so there every address within is a host's.
    bool IsHost(std::uint32_t address) const;
    std::uint32_t FirstHost() const;
    std::uint32_t LastHost() const;
    // Whether a device can be put on it: a prefix of 1 to 30 bits, with room
    // for the device and its network's own two addresses.
    bool ForDevices() const { return prefix_ >= 1 && prefix_ <= 30; }
    // Whether a host on it can use `gateway`: 0.0.0.0, no gateway, or an
    // address within it.
    bool TakesGateway(std::uint32_t gateway) const { return gateway == 0 || Contains(gateway); }
    // Its network and prefix: 198.51.100.0/24.
    std::string Text() const;

private:
    std::uint32_t address_;
    int prefix_;
};

// The subnet a device on `address` with `mask` is on, when a device can have
// that mask (Subnet::ForDevices); none for any other mask.
std::optional<Subnet> DeviceSubnet(std::uint32_t address, std::uint32_t mask);

// The problem texts of the two checks every command makes of a device's
// mask and gateway, after the value's own name ("mask 255.0.255.0").
constexpr char kNotADeviceMask[] = " is not a subnet mask of 1 to 30 bits";
// " is outside the subnet 198.51.100.0/24 of " and then the address.
std::string OutsideSubnetText(const Subnet& subnet);
