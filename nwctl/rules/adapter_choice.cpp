#include "rules/adapter_choice.h"

#include <set>

#include "io/safe_text.h"
#include "ipv4_text.h"

bool ChooseAdapters(const std::vector<Adapter>& adapters, const std::string& wanted, std::vector<Adapter>& chosen,
                    std::string& error)
{
    chosen.clear();
    if (wanted.empty() || wanted == "all") {
        std::set<std::string> names;
        for (const Adapter& adapter : adapters) {
            if (!adapter.loopback && names.insert(adapter.name).second)
                chosen.push_back(adapter);
            if (wanted.empty() && !chosen.empty())
                break;
        }
        if (chosen.empty())
            error = "no network adapter with an IPv4 address is up (nwctl adapters lists them)";
        return !chosen.empty();
    }
    for (const Adapter& adapter : adapters) {
        if (adapter.name == wanted) {
            chosen.push_back(adapter);
            return true;
        }
    }
    const auto address = ParseIPv4(wanted);
    for (const Adapter& adapter : adapters) {
        if (address && adapter.address == *address) {
            chosen.push_back(adapter);
            return true;
        }
    }
    error = "no adapter is named or has the address \"" + ShortText(wanted) + "\" (nwctl adapters lists them)";
    return false;
}

int ArrivalAdapter(const std::vector<Adapter>& chosen, unsigned interfaceIndex, std::uint32_t destination)
{
    if (chosen.size() == 1)
        return 0;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (interfaceIndex != 0 && chosen[i].index == interfaceIndex)
            return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (destination != 0 && chosen[i].address == destination)
            return static_cast<int>(i);
    }
    return -1;
}

const Adapter* AdapterWithAddress(const std::vector<Adapter>& adapters, std::uint32_t address)
{
    for (const Adapter& adapter : adapters) {
        if (adapter.address == address)
            return &adapter;
    }
    return nullptr;
}

std::map<std::uint32_t, MacAddress> OwnAddressMacs(const std::vector<Adapter>& own)
{
    std::map<std::uint32_t, MacAddress> macs;
    for (const Adapter& adapter : own) {
        if (!adapter.loopback && adapter.mac)
            macs.emplace(adapter.address, *adapter.mac);
    }
    return macs;
}
