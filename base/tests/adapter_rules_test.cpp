// One computer's adapters through the window's rule and nwctl's: the adapter
// box and `nwctl adapters` list different addresses, and this is how.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter_rules.h"
#include "ipv4_text.h"

namespace {

// A laptop on site: its loopback, a LAN port with a second subnet, Wi-Fi
// without a cable's worth of signal, a VPN that has no IPv4 address, and a
// second LAN port.
const std::vector<NetworkAdapter> kLaptop = {
    {"Loopback", {{0x7F000001u, 0xFF000000u}}, true, true, 1, {}},
    {"Ethernet", {{0xC6336401u, 0xFFFFFF00u}, {0x0A000005u, 0xFF000000u}}, true, false, 7, {}},
    {"Wi-Fi", {{0xC0A80117u, 0xFFFFFF00u}}, false, false, 9, {}},
    {"VPN", {}, true, false, 12, {}},
    {"Ethernet 2", {{0xC633640Bu, 0xFFFFFF00u}}, true, false, 15, {}},
};

std::vector<std::string> Texts(const std::vector<ListedAddress>& listed)
{
    std::vector<std::string> texts;
    for (const ListedAddress& entry : listed) {
        const NetworkAdapter& adapter = kLaptop.at(entry.adapter);
        texts.push_back(adapter.name + " : " + FormatIPv4(adapter.addresses.at(entry.address).address));
    }
    return texts;
}

TEST(AdapterRules, TheBoxAndNwctlListFromOneTable)
{
    const std::vector<ListedAddress> box = FirstAddressOfEveryAdapter(kLaptop);
    const std::vector<ListedAddress> nwctl = EveryAddressOfAdaptersUp(kLaptop);
    EXPECT_EQ(Texts(box), (std::vector<std::string>{"Loopback : 127.0.0.1", "Ethernet : 198.51.100.1",
                                                    "Wi-Fi : 192.168.1.23", "Ethernet 2 : 198.51.100.11"}));
    EXPECT_EQ(Texts(nwctl), (std::vector<std::string>{"Loopback : 127.0.0.1", "Ethernet : 198.51.100.1",
                                                      "Ethernet : 10.0.0.5", "Ethernet 2 : 198.51.100.11"}));

    // Only the box shows an adapter that is down; only nwctl an adapter's
    // second address. Everything else they show alike, in the same order.
    std::vector<ListedAddress> boxOfAdaptersUp;
    for (const ListedAddress& entry : box) {
        if (kLaptop[entry.adapter].up)
            boxOfAdaptersUp.push_back(entry);
    }
    std::vector<ListedAddress> nwctlFirstAddresses;
    for (const ListedAddress& entry : nwctl) {
        if (entry.address == 0)
            nwctlFirstAddresses.push_back(entry);
    }
    EXPECT_EQ(boxOfAdaptersUp, nwctlFirstAddresses);
}

TEST(AdapterRules, NoAddressNoEntry)
{
    const std::vector<NetworkAdapter> none = {{"VPN", {}, true, false, 3, {}}, {"Down", {}, false, false, 4, {}}};
    EXPECT_TRUE(FirstAddressOfEveryAdapter(none).empty());
    EXPECT_TRUE(EveryAddressOfAdaptersUp(none).empty());
    EXPECT_TRUE(FirstAddressOfEveryAdapter({}).empty());
    EXPECT_TRUE(EveryAddressOfAdaptersUp({}).empty());
}

}  // namespace
