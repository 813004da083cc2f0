#include "net/adapters.h"

#include <algorithm>

#include "adapter_rules.h"
#include "network_adapters.h"

bool ListAdapters(std::vector<Adapter>& adapters, std::string& error)
{
    std::vector<NetworkAdapter> table;
    if (!ReadNetworkAdapters(table, error))
        return false;
    adapters.clear();
    for (const ListedAddress& listed : EveryAddressOfAdaptersUp(table)) {
        const NetworkAdapter& adapter = table[listed.adapter];
        const AdapterIPv4& ip = adapter.addresses[listed.address];
        adapters.push_back({adapter.name, ip.address, ip.mask, adapter.index, adapter.loopback});
    }
    return true;
}

std::map<std::uint32_t, MacAddress> OwnAddressMacs()
{
    std::map<std::uint32_t, MacAddress> own;
    std::vector<NetworkAdapter> table;
    std::string error;
    if (!ReadNetworkAdapters(table, error))
        return own;
    for (const ListedAddress& listed : EveryAddressOfAdaptersUp(table)) {
        const NetworkAdapter& adapter = table[listed.adapter];
        MacAddress mac;
        if (adapter.loopback || adapter.hardware.size() != mac.size())
            continue;
        std::copy(adapter.hardware.begin(), adapter.hardware.end(), mac.begin());
        own.emplace(adapter.addresses[listed.address].address, mac);
    }
    return own;
}
