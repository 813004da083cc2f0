#include "adapter_rules.h"

std::vector<ListedAddress> FirstAddressOfEveryAdapter(const std::vector<NetworkAdapter>& adapters)
{
    std::vector<ListedAddress> listed;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        if (!adapters[i].addresses.empty())
            listed.push_back({i, 0});
    }
    return listed;
}

std::vector<ListedAddress> EveryAddressOfAdaptersUp(const std::vector<NetworkAdapter>& adapters)
{
    std::vector<ListedAddress> listed;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        if (!adapters[i].up)
            continue;
        for (std::size_t j = 0; j < adapters[i].addresses.size(); ++j)
            listed.push_back({i, j});
    }
    return listed;
}
