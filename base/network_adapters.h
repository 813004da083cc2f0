// The computer's network adapters as the system lists them, in its order,
// before any program picks from them (adapter_rules.h picks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One IPv4 address of an adapter, in host byte order.
struct AdapterIPv4 {
    std::uint32_t address;
    std::uint32_t mask;
};

struct NetworkAdapter {
    std::string name;                    // as the system names it to people, ANSI text
    std::vector<AdapterIPv4> addresses;  // every IPv4 address, in the system's order; may be none
    bool up;
    bool loopback;
    unsigned index;                       // the system's interface index, 0 when unknown
    std::vector<unsigned char> hardware;  // its hardware (MAC) address; empty when it has none
};

// Every adapter the system lists for IPv4. False with `error` when the
// system cannot say; an empty table is no failure. One implementation per
// system: network_adapters_win32.cpp (GetAdaptersAddresses) for the window
// and nwctl.exe, network_adapters_linux.cpp (getifaddrs) for nwctl on
// Linux.
bool ReadNetworkAdapters(std::vector<NetworkAdapter>& adapters, std::string& error);
