// Which adapters a command searches from, and which of them a reply came in
// on.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "device/mac.h"

// One address of one of this computer's adapters.
struct Adapter {
    std::string name;
    std::uint32_t address;  // host byte order
    std::uint32_t mask;
    unsigned index;  // the system's interface index, 0 when unknown
    bool loopback;
    std::optional<MacAddress> mac;  // its adapter's; none when it has no MAC
};

// "" gives the first adapter that is not the loopback one, "all" the first
// address of every such adapter, anything else the adapter of that name (or,
// failing that, of that dotted address). False with `error` when none fits.
bool ChooseAdapters(const std::vector<Adapter>& adapters, const std::string& wanted, std::vector<Adapter>& chosen,
                    std::string& error);

// The position in `chosen` of the adapter a datagram came in on, given the
// interface it arrived at and the address it was sent to (0 for either when
// the system did not say); -1 when it cannot be told.
int ArrivalAdapter(const std::vector<Adapter>& chosen, unsigned interfaceIndex, std::uint32_t destination);

// The adapter that holds `address`, or null: no device may be given one of
// this computer's addresses.
const Adapter* AdapterWithAddress(const std::vector<Adapter>& adapters, std::uint32_t address);

// Every address of `own` but the loopback ones, with its adapter's MAC: the
// system does not ask the LAN for its own addresses, so the probe names
// their holder itself. Adapters without a MAC are left out.
std::map<std::uint32_t, MacAddress> OwnAddressMacs(const std::vector<Adapter>& own);
