// The ARP the simulated devices speak: which frames are requests, which
// MAC texts give a device a hardware address, and the reply's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "arp_answer.h"
#include "hex.h"

namespace {

// Hex with blanks between the fields, for reading.
std::string Plain(std::string hex)
{
    hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
    return hex;
}

std::vector<unsigned char> Bytes(const std::string& hex)
{
    std::string bytes;
    EXPECT_TRUE(ParseHex(Plain(hex), bytes)) << hex;
    return {bytes.begin(), bytes.end()};
}

// Ethernet to ff:ff:ff:ff:ff:ff from 02:00:00:00:00:01, then ARP.
const std::string kBroadcastHeader = Plain("ffffffffffff 020000000001 0806");
// A request from 02:00:00:00:00:01 at 198.51.100.1 for 198.51.100.100.
const std::string kRequest = Plain("0001 0800 06 04 0001 020000000001 c6336401 000000000000 c6336464");
// The same as a probe: sender address 0.0.0.0.
const std::string kProbe = Plain("0001 0800 06 04 0001 020000000001 00000000 000000000000 c6336464");

constexpr HardwareAddress kDevice{0x00, 0x1A, 0x2B, 0x00, 0x00, 0x01};
constexpr HardwareAddress kRequester{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};

TEST(ArpAnswer, WhatIsARequest)
{
    const std::string padding(36, '0');
    struct Case {
        const char* name;
        std::string hex;
        bool request;
    } const cases[] = {
        {"request", kBroadcastHeader + kRequest, true},
        {"probe", kBroadcastHeader + kProbe, true},
        {"padded to the Ethernet minimum", kBroadcastHeader + kRequest + padding, true},
        {"unicast to a device", "001a2b000001 020000000001 0806" + kRequest, true},
        {"a byte short", (kBroadcastHeader + kRequest).substr(0, 82), false},
        {"not ARP", "ffffffffffff 020000000001 0800" + kRequest, false},
        {"a reply", kBroadcastHeader + "0001080006040002" + kRequest.substr(16), false},
        {"not Ethernet", kBroadcastHeader + "0006" + kRequest.substr(4), false},
        {"not IPv4", kBroadcastHeader + "000186dd" + kRequest.substr(8), false},
        {"four-byte protocol addresses only", kBroadcastHeader + "0001080006100001" + kRequest.substr(16), false},
        {"from a multicast MAC", kBroadcastHeader + "0001080006040001 030000000001" + kRequest.substr(28), false},
        {"from a zero MAC", kBroadcastHeader + "0001080006040001 000000000000" + kRequest.substr(28), false},
    };
    for (const Case& c : cases) {
        const std::vector<unsigned char> frame = Bytes(c.hex);
        EXPECT_EQ(ReadArpRequest(frame.data(), frame.size()).has_value(), c.request) << c.name;
    }
    EXPECT_FALSE(ReadArpRequest(nullptr, 0));

    const std::vector<unsigned char> frame = Bytes(kBroadcastHeader + kRequest);
    const ArpRequest request = *ReadArpRequest(frame.data(), frame.size());
    EXPECT_EQ(request.senderMac, kRequester);
    EXPECT_EQ(request.senderAddress, 0xC6336401u);
    EXPECT_EQ(request.targetAddress, 0xC6336464u);
}

TEST(ArpAnswer, ABroadcastIsHeardByAllAUnicastByItsHostAlone)
{
    const std::vector<unsigned char> broadcast = Bytes(kBroadcastHeader + kRequest);
    const std::vector<unsigned char> unicast = Bytes("001a2b000001 020000000001 0806" + kRequest);
    const HardwareAddress other{0x00, 0x1A, 0x2B, 0x00, 0x00, 0x02};
    EXPECT_TRUE(HearsArpRequest(kDevice, *ReadArpRequest(broadcast.data(), broadcast.size())));
    EXPECT_TRUE(HearsArpRequest(other, *ReadArpRequest(broadcast.data(), broadcast.size())));
    EXPECT_TRUE(HearsArpRequest(kDevice, *ReadArpRequest(unicast.data(), unicast.size())));
    EXPECT_FALSE(HearsArpRequest(other, *ReadArpRequest(unicast.data(), unicast.size())));
}

TEST(ArpAnswer, TheReplyComesFromTheDeviceAndGoesToTheRequesterAlone)
{
    for (const std::string& asked : {kRequest, kProbe}) {
        const std::vector<unsigned char> frame = Bytes(kBroadcastHeader + asked);
        const ArpReplyFrame reply = MakeArpReply(kDevice, *ReadArpRequest(frame.data(), frame.size()));
        // A probe's reply keeps the probe's sender address, 0.0.0.0, as
        // Linux's does.
        EXPECT_EQ(ToHex(reply.data(), reply.size()),
                  Plain("020000000001 001a2b000001 0806 0001 0800 06 04 0002 001a2b000001 c6336464 020000000001") +
                      asked.substr(28, 8));
    }
}

TEST(ArpAnswer, MacTextsThatNameAHardwareAddress)
{
    struct Case {
        const char* text;
        bool names;
    } const cases[] = {
        {"00:1A:2B:00:00:01", true},
        {"00-1a-2b-00-00-01", true},
        {"00:1a:2B:00:00:01", true},
        {"00:1A:2B-00:00:01", false},
        {"001A2B000001", false},
        {"00:1A:2B:00:00:1", false},
        {"00:1A:2B:00:00:01 ", false},
        {"00:1A:2B:00:00:0G", false},
        {"ABCDEFGHIJKLMNOPQRSTUVWX", false},
        {"", false},
        {"00:00:00:00:00:00", false},
        {"FF:FF:FF:FF:FF:FF", false},
        {"01:00:5E:00:00:01", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HardwareAddressOf(c.text).has_value(), c.names) << c.text;
    EXPECT_EQ(HardwareAddressOf("00-1a-2b-00-00-01"), kDevice);
}

}  // namespace
