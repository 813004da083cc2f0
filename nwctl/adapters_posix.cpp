// The adapters on Linux: getifaddrs.
#include <ifaddrs.h>
#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstring>

#include "adapters.h"

bool ListAdapters(std::vector<Adapter>& adapters, std::string& error)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        error = std::string("cannot list the network adapters: ") + std::strerror(errno);
        return false;
    }
    adapters.clear();
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !(entry->ifa_flags & IFF_UP))
            continue;
        Adapter adapter;
        adapter.name = entry->ifa_name;
        adapter.address = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
        adapter.mask =
            entry->ifa_netmask ? ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr) : 0;
        // An address label ("eth0:1") belongs to the interface before the colon.
        adapter.index = if_nametoindex(adapter.name.substr(0, adapter.name.find(':')).c_str());
        adapter.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        adapters.push_back(adapter);
    }
    freeifaddrs(list);
    return true;
}
