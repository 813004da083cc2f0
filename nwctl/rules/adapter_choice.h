// Which adapters a command searches from, and which of them a reply came in
// on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Adapter {
    std::string name;
    std::uint32_t address;  // host byte order
    std::uint32_t mask;
    unsigned index;  // the system's interface index, 0 when unknown
    bool loopback;
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
