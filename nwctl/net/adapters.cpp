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
        std::optional<MacAddress> mac;
        if (adapter.hardware.size() == MacAddress().size()) {
            mac.emplace();
            std::copy(adapter.hardware.begin(), adapter.hardware.end(), mac->begin());
        }
        adapters.push_back({adapter.name, ip.address, ip.mask, adapter.index, adapter.loopback, mac});
    }
    return true;
}
