// The probe: who answers for each address on the LAN of the adapters a
// command works from. On Linux ARP probes that carry no sender address, as
// a host checks an address before it takes it, so that every host that
// holds the address answers, whatever its subnet (this needs the raw packet
// right); without that right, the kernel's own neighbour resolution for the
// addresses on an adapter's subnet. On Windows the system's resolution of
// on-link addresses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "probe/address_use.h"
#include "rules/adapter_choice.h"

// Probes every one of `addresses` (any order, repeats allowed) together,
// with a few retries and a bounded wait, from `adapters`, and records each
// in `use`: probed with the MACs that answered, or not probed, with
// `use.limit` saying why. `own` is this computer's adapters as the command
// listed them: an address of theirs is held by their MAC. False with
// `error` only when nothing could be probed for a fault of this computer
// (no socket at all). `progress`, where given, hears now and then how many
// of how many addresses the probe has asked about.
using ProbeProgress = std::function<void(std::size_t done, std::size_t total)>;
bool ProbeAddresses(const std::vector<Adapter>& adapters, const std::vector<Adapter>& own,
                    const std::vector<std::uint32_t>& addresses, AddressUse& use, std::string& error,
                    const ProbeProgress& progress = nullptr);
