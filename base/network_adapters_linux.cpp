// The adapters on Linux: getifaddrs, whose IPv4 entries come one per
// address. They are gathered by name into the table that Windows gives.
#include <ifaddrs.h>
#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>

#include "network_adapters.h"

bool ReadNetworkAdapters(std::vector<NetworkAdapter>& adapters, std::string& error)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        error = std::string("cannot list the network adapters: ") + std::strerror(errno);
        return false;
    }
    adapters.clear();
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        // An address label ("eth0:1") is listed under its own name, as
        // `ip address` shows it.
        auto adapter = adapters.begin();
        while (adapter != adapters.end() && adapter->name != entry->ifa_name)
            ++adapter;
        if (adapter == adapters.end()) {
            NetworkAdapter added;
            added.name = entry->ifa_name;
            added.up = (entry->ifa_flags & IFF_UP) != 0;
            added.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
            // A label belongs to the interface named before its colon.
            added.index = if_nametoindex(added.name.substr(0, added.name.find(':')).c_str());
            adapter = adapters.insert(adapters.end(), std::move(added));
        }
        const std::uint32_t mask =
            entry->ifa_netmask ? ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr) : 0;
        adapter->addresses.push_back(
            {ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr), mask});
    }
    // The hardware address comes in an entry of its own, per interface:
    // every label of the interface has it.
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET)
            continue;
        const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
        for (NetworkAdapter& adapter : adapters) {
            if (adapter.index == static_cast<unsigned>(link->sll_ifindex))
                adapter.hardware.assign(link->sll_addr, link->sll_addr + link->sll_halen);
        }
    }
    freeifaddrs(list);
    return true;
}
