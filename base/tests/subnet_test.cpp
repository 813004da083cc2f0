// Subnets: masks, the edges of every size from /0 to /32, which addresses a
// host can have, and the gateway a device can use.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "ipv4_text.h"
#include "subnet.h"

namespace {

std::uint32_t A(const char* text)
{
    return ParseIPv4(text).value();
}

TEST(Subnet, MasksAndPrefixes)
{
    struct Case {
        const char* mask;
        std::optional<int> prefix;
    } const cases[] = {
        {"0.0.0.0", 0},          {"128.0.0.0", 1},        {"255.255.255.0", 24}, {"255.255.255.252", 30},
        {"255.255.255.254", 31}, {"255.255.255.255", 32}, {"255.0.255.0", {}},   {"0.255.255.255", {}},
        {"255.255.255.253", {}}, {"255.255.254.255", {}}, {"1.0.0.0", {}},       {"255.255.255.1", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MaskPrefix(A(c.mask)), c.prefix) << c.mask;
        EXPECT_EQ(Subnet::WithMask(A("198.51.100.7"), A(c.mask)).has_value(), c.prefix.has_value()) << c.mask;
        if (c.prefix) {
            EXPECT_EQ(PrefixMask(*c.prefix), A(c.mask)) << c.mask;
        }
    }
}

TEST(Subnet, EdgesAndHostsOfEverySize)
{
    struct Case {
        const char* address;
        int prefix;
        const char* network;
        const char* broadcast;
        const char* firstHost;
        const char* lastHost;
        bool forDevices;
    } const cases[] = {
        {"198.51.100.7", 24, "198.51.100.0", "198.51.100.255", "198.51.100.1", "198.51.100.254", true},
        {"198.51.100.7", 30, "198.51.100.4", "198.51.100.7", "198.51.100.5", "198.51.100.6", true},
        // A /31 and a /32 have no network or broadcast address of their own.
        {"198.51.100.7", 31, "198.51.100.6", "198.51.100.7", "198.51.100.6", "198.51.100.7", false},
        {"198.51.100.7", 32, "198.51.100.7", "198.51.100.7", "198.51.100.7", "198.51.100.7", false},
        {"198.51.100.7", 0, "0.0.0.0", "255.255.255.255", "0.0.0.1", "255.255.255.254", false},
        {"10.1.2.3", 1, "0.0.0.0", "127.255.255.255", "0.0.0.1", "127.255.255.254", true},
    };
    for (const Case& c : cases) {
        const Subnet subnet(A(c.address), c.prefix);
        const std::string name = std::string(c.address) + "/" + std::to_string(c.prefix);
        EXPECT_EQ(subnet.Network(), A(c.network)) << name;
        EXPECT_EQ(subnet.Broadcast(), A(c.broadcast)) << name;
        EXPECT_EQ(subnet.FirstHost(), A(c.firstHost)) << name;
        EXPECT_EQ(subnet.LastHost(), A(c.lastHost)) << name;
        EXPECT_EQ(subnet.ForDevices(), c.forDevices) << name;
        EXPECT_EQ(subnet.Text(), std::string(c.network) + "/" + std::to_string(c.prefix)) << name;
        // The network and broadcast addresses are a host's only on a /31 or /32.
        EXPECT_EQ(subnet.IsHost(subnet.Network()), c.prefix >= 31) << name;
        EXPECT_EQ(subnet.IsHost(subnet.Broadcast()), c.prefix >= 31) << name;
        EXPECT_TRUE(subnet.IsHost(subnet.FirstHost())) << name;
        EXPECT_TRUE(subnet.IsHost(subnet.LastHost())) << name;
    }
}

TEST(Subnet, WhatLiesWithin)
{
    struct Case {
        const char* subnet;
        int prefix;
        const char* address;
        bool contains;
        bool host;
    } const cases[] = {
        {"198.51.100.7", 24, "198.51.100.1", true, true},  {"198.51.100.7", 24, "198.51.101.1", false, false},
        {"198.51.100.7", 24, "198.51.100.0", true, false}, {"198.51.100.7", 24, "198.51.100.255", true, false},
        {"198.51.100.7", 31, "198.51.100.6", true, true},  {"198.51.100.7", 31, "198.51.100.8", false, false},
        {"198.51.100.7", 32, "198.51.100.7", true, true},  {"198.51.100.7", 32, "198.51.100.6", false, false},
        {"198.51.100.7", 0, "203.0.113.9", true, true},
    };
    for (const Case& c : cases) {
        const Subnet subnet(A(c.subnet), c.prefix);
        EXPECT_EQ(subnet.Contains(A(c.address)), c.contains) << c.address << " in /" << c.prefix;
        EXPECT_EQ(subnet.IsHost(A(c.address)), c.host) << c.address << " in /" << c.prefix;
    }
}

TEST(Subnet, DeviceMasks)
{
    for (const char* mask : {"128.0.0.0", "255.255.0.0", "255.255.255.252"}) {
        const auto subnet = DeviceSubnet(A("198.51.100.7"), A(mask));
        ASSERT_TRUE(subnet) << mask;
        EXPECT_EQ(subnet->Mask(), A(mask));
        EXPECT_EQ(subnet->Address(), A("198.51.100.7"));
    }
    for (const char* mask : {"0.0.0.0", "255.255.255.254", "255.255.255.255", "255.0.255.0"})
        EXPECT_FALSE(DeviceSubnet(A("198.51.100.7"), A(mask))) << mask;
}

TEST(Subnet, Gateways)
{
    const Subnet subnet(A("198.51.100.7"), 24);
    EXPECT_TRUE(subnet.TakesGateway(A("198.51.100.1")));
    EXPECT_TRUE(subnet.TakesGateway(A("0.0.0.0"))) << "no gateway";
    EXPECT_FALSE(subnet.TakesGateway(A("198.51.101.1")));
    EXPECT_FALSE(subnet.TakesGateway(A("10.0.0.1")));
    EXPECT_TRUE(Subnet(A("198.51.100.7"), 0).TakesGateway(A("10.0.0.1")));
    EXPECT_EQ(OutsideSubnetText(subnet), " is outside the subnet 198.51.100.0/24 of ");
}

TEST(Subnet, HostAddressesAnywhere)
{
    for (const char* address : {"1.0.0.0", "10.0.0.1", "126.255.255.255", "128.0.0.0", "223.255.255.255"})
        EXPECT_TRUE(IsHostAddress(A(address))) << address;
    for (const char* address : {"0.0.0.0", "0.1.2.3", "127.0.0.1", "224.0.0.1", "240.0.0.1", "255.255.255.255"})
        EXPECT_FALSE(IsHostAddress(A(address))) << address;
}

}  // namespace
