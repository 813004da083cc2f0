// The adapters nwctl may search from: the system's adapter table
// (ReadNetworkAdapters, one implementation per platform) through nwctl's
// rule (EveryAddressOfAdaptersUp).
#pragma once

#include <string>
#include <vector>

#include "rules/adapter_choice.h"

// Every adapter that is up and has an IPv4 address, one entry per address,
// in the system's order, each with its adapter's MAC. A command reads them
// once and works from that list throughout.
bool ListAdapters(std::vector<Adapter>& adapters, std::string& error);
