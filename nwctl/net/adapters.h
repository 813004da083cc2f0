// The adapters nwctl may search from: the system's adapter table
// (ReadNetworkAdapters, one implementation per platform) through nwctl's
// rule (EveryAddressOfAdaptersUp).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/mac.h"
#include "rules/adapter_choice.h"

// Every adapter that is up and has an IPv4 address, one entry per address,
// in the system's order.
bool ListAdapters(std::vector<Adapter>& adapters, std::string& error);

// Every address of this computer's adapters that are up, but the loopback
// one, with its adapter's MAC: the system does not ask the LAN for its own
// addresses, so the probe names their holder itself. Adapters without a
// MAC are left out; none when the system cannot list them.
std::map<std::uint32_t, MacAddress> OwnAddressMacs();
