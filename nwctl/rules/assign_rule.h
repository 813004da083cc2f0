// Writing a plan: the found devices get consecutive addresses, in MAC order,
// around the addresses that other hosts already use.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/found_devices.h"
#include "probe/address_use.h"
#include "rules/adapter_choice.h"
#include "rules/plan_rules.h"
#include "subnet.h"

struct AssignRequest {
    std::uint32_t first;
    std::optional<std::uint32_t> mask;  // else each device keeps its own
    std::optional<std::uint32_t> gateway;
    std::optional<std::uint32_t> dns;
    std::string product;  // only devices whose product name holds it (any case); empty: all
};

struct Assignment {
    std::vector<PlanRow> rows;       // lines from 2, as AssignmentCsv writes them
    std::vector<std::string> notes;  // what the plan does that the operator may not expect
    // The addresses passed over because other hosts answer for them, in
    // order: "skipped 192.0.2.31: in use by 02:00:5E:10:00:07".
    std::vector<std::string> skipped;
};

enum class AssignOutcome { Assigned, NoDevice, OutOfAddresses, BadRequest };

// One row per MAC of the chosen devices: its address, the request's mask,
// gateway and DNS where given, and mode static for a device not static now
// (noted, as it changes how the device gets its address). The addresses
// stay inside the first address's subnet by the mask each device will have
// (the request's, else its own), and skip the subnet's network and
// broadcast addresses, every address a found device outside the plan uses,
// this computer's own (`ownAdapters`), the gateways and DNS servers the
// devices will have, and every address that `use` says a host answers for,
// unless only chosen devices do (they leave their addresses); an address
// not probed counts as free. Anything but Assigned comes with `error`: BadRequest
// for a first address no device can have, a mask that is none, or a
// gateway outside the mask's subnet; NoDevice when none is chosen;
// OutOfAddresses when the subnet (or the address space) runs out.
AssignOutcome AssignAddresses(const std::vector<FoundDevice>& found, const AssignRequest& request,
                              const std::vector<Adapter>& ownAdapters, const AddressUse& use, Assignment& assignment,
                              std::string& error);

// The rule by which a device is given an address that nobody holds: the
// first address from `from` on inside `subnet` (none leaves the address
// space open) that is a host address, a host's on the subnet (not its
// network or broadcast address), none of `taken`, and none that `inUse`
// names other hosts for (each passed over for that is said in `skipped`:
// "skipped 192.0.2.31: in use by 02:00:5E:10:00:07"). None when the subnet,
// or the address space, runs out.
std::optional<std::uint32_t> NextFreeAddress(std::uint64_t from, const std::optional<Subnet>& subnet,
                                             const std::set<std::uint32_t>& taken,
                                             const std::function<std::vector<MacAddress>(std::uint32_t)>& inUse,
                                             std::vector<std::string>& skipped);

// The plan as CSV: mac, ip, mask, gateway, dns, mode; blank where the
// device keeps its value.
std::string AssignmentCsv(const std::vector<PlanRow>& rows);
