// Which of the computer's adapter addresses each program offers, side by
// side: the window's adapter box and nwctl read one table
// (network_adapters.h) and pick from it by different rules, each for its
// own reason, so their lists may differ on one computer.
#pragma once

#include <cstddef>
#include <vector>

#include "network_adapters.h"

// One address of one adapter: its positions in the table.
struct ListedAddress {
    std::size_t adapter;
    std::size_t address;
    bool operator==(const ListedAddress& other) const { return adapter == other.adapter && address == other.address; }
};

// The window's adapter box: the first IPv4 address of every adapter that has
// one, in the system's order, one entry per adapter; a search binds to that
// address. No adapter is left out for its kind or its state: the box is
// filled once, at start-up, so an adapter whose cable is plugged in later
// must already be there to be chosen.
std::vector<ListedAddress> FirstAddressOfEveryAdapter(const std::vector<NetworkAdapter>& adapters);

// nwctl: every IPv4 address of every adapter that is up, in the system's
// order. nwctl reads the adapters afresh at each run, so it can leave out
// those that are down, through which nothing would leave; and it offers
// every address, because a site may run its cameras on an adapter's second
// subnet, which --adapter then names by its address.
std::vector<ListedAddress> EveryAddressOfAdaptersUp(const std::vector<NetworkAdapter>& adapters);
