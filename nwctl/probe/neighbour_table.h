// The Linux kernel's neighbour table as /proc/net/arp shows it: which
// addresses it has resolved, and to which MAC.
#pragma once

#include <cstdint>
#include <map>
#include <string_view>

#include "device/mac.h"

// Every complete entry of `text` (flag 0x2 set, a MAC that is not zero);
// header, incomplete and failed entries and lines it cannot read are
// passed over. An address on two adapters keeps the first line's MAC.
std::map<std::uint32_t, MacAddress> ResolvedNeighbours(std::string_view text);
