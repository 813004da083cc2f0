// The probe on Linux without the raw packet right: the kernel resolves
// each address on an adapter's subnet (a datagram to it makes the kernel
// ask), and its neighbour table says who answered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "probe/address_probe.h"
#include "probe/address_use.h"
#include "rules/adapter_choice.h"

bool ProbeByNeighbours(const std::vector<Adapter>& adapters, const std::vector<Adapter>& own,
                       const std::vector<std::uint32_t>& addresses, AddressUse& use, std::string& error,
                       const ProbeProgress& progress);
