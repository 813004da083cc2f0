// Addresses as an operator types them: MACs in the usual spellings, anything
// else refused rather than guessed; and which adapter a search uses. (Dotted
// IPv4 text and subnet masks: base/tests/.)
#include <gtest/gtest.h>

#include "device/mac.h"
#include "rules/adapter_choice.h"

namespace {

TEST(Mac, UsualSpellingsInEitherCase)
{
    const MacAddress mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    for (const char* text :
         {"00:1A:2B:3C:4D:5E", "00:1a:2b:3c:4d:5e", "00-1A-2B-3C-4D-5E", "001A.2B3C.4D5E", "001a2b3c4d5e"}) {
        const auto parsed = ParseMac(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(*parsed, mac) << text;
    }
    EXPECT_EQ(FormatMac(mac), "00:1A:2B:3C:4D:5E");
    for (const char* text :
         {"", "00:1A:2B:3C:4D", "00:1A:2B:3C:4D:5E:6F", "00:1A-2B:3C:4D:5E", "0:1A:2B:3C:4D:5E", "00:1A:2B:3C:4D:5G",
          "001A2B3C4D5", "001A.2B3C:4D5E", "00:1A:2B:3C:4D:5E ", "00::1A:2B:3C:4D:5E", "001A2B3C4D5E0"})
        EXPECT_FALSE(ParseMac(text)) << text;
}

Adapter MakeAdapter(const char* name, std::uint32_t address, unsigned index, bool loopback = false)
{
    return Adapter{name, address, 0xFFFFFF00u, index, loopback, std::nullopt};
}

TEST(Adapters, ChosenByNameAddressOrAll)
{
    const std::vector<Adapter> adapters = {
        MakeAdapter("lo", 0x7F000001u, 1, true),
        MakeAdapter("lan0", 0xC6336401u, 2),
        MakeAdapter("lan0", 0xC6336402u, 2),  // a second address of lan0
        MakeAdapter("lan1", 0xC633640Bu, 3),
    };
    const struct {
        const char* wanted;
        std::vector<std::uint32_t> chosen;  // empty: refused
    } cases[] = {
        {"", {0xC6336401u}},     {"all", {0xC6336401u, 0xC633640Bu}},
        {"lan1", {0xC633640Bu}}, {"198.51.100.2", {0xC6336402u}},
        {"lo", {0x7F000001u}},   {"lan9", {}},
        {"198.51.100.99", {}},
    };
    for (const auto& c : cases) {
        std::vector<Adapter> chosen;
        std::string error;
        EXPECT_EQ(ChooseAdapters(adapters, c.wanted, chosen, error), !c.chosen.empty()) << c.wanted;
        std::vector<std::uint32_t> addresses;
        for (const Adapter& adapter : chosen)
            addresses.push_back(adapter.address);
        EXPECT_EQ(addresses, c.chosen) << c.wanted;
        EXPECT_EQ(error.empty(), !c.chosen.empty()) << c.wanted;
    }
    std::vector<Adapter> chosen;
    std::string error;
    EXPECT_FALSE(ChooseAdapters({MakeAdapter("lo", 0x7F000001u, 1, true)}, "", chosen, error))
        << "the loopback adapter is never the default";
    EXPECT_FALSE(ChooseAdapters({MakeAdapter("lan0", 0xC6336401u, 2)}, std::string(1 << 20, 'x'), chosen, error));
    EXPECT_LT(error.size(), 400u) << "a huge name comes back cut";
}

TEST(Adapters, ArrivalByInterfaceThenByAddress)
{
    const std::vector<Adapter> two = {MakeAdapter("lan0", 0xC6336401u, 2), MakeAdapter("lan1", 0xC633640Bu, 3)};
    EXPECT_EQ(ArrivalAdapter(two, 3, 0xFFFFFFFFu), 1);
    EXPECT_EQ(ArrivalAdapter(two, 2, 0xC633640Bu), 0) << "the interface counts before the address";
    EXPECT_EQ(ArrivalAdapter(two, 0, 0xC633640Bu), 1);
    EXPECT_EQ(ArrivalAdapter(two, 9, 0xFFFFFFFFu), -1);
    EXPECT_EQ(ArrivalAdapter({two[0]}, 0, 0), 0) << "with one adapter there is no doubt";
}

TEST(Adapters, OwnAddressesHeldByTheirAdaptersMacs)
{
    const MacAddress lan0 = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x01};
    const MacAddress lan1 = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x02};
    std::vector<Adapter> adapters = {
        MakeAdapter("lo", 0x7F000001u, 1, true), MakeAdapter("lan0", 0xC6336401u, 2),
        MakeAdapter("lan0", 0xC6336402u, 2),     MakeAdapter("lan1", 0xC633640Bu, 3),
        MakeAdapter("tun0", 0xC6336501u, 4),  // no MAC
    };
    adapters[0].mac = MacAddress{};
    adapters[1].mac = adapters[2].mac = lan0;
    adapters[3].mac = lan1;
    const std::map<std::uint32_t, MacAddress> expected = {
        {0xC6336401u, lan0}, {0xC6336402u, lan0}, {0xC633640Bu, lan1}};
    EXPECT_EQ(OwnAddressMacs(adapters), expected);
}

}  // namespace
