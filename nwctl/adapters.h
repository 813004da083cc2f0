// The machine's network adapters, one implementation per platform
// (adapters_posix.cpp, adapters_win32.cpp).
#pragma once

#include <string>
#include <vector>

#include "adapter_choice.h"

// Every adapter that is up and has an IPv4 address, one entry per address,
// in the system's order.
bool ListAdapters(std::vector<Adapter>& adapters, std::string& error);
