// Bulk addressing: a plan names devices by MAC and the settings each should
// get. Before anything is sent, every problem with it is found; after, the
// devices are checked against it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "device/found_devices.h"
#include "device/mac.h"
#include "device/setting_names.h"
#include "probe/address_use.h"
#include "rules/adapter_choice.h"

struct PlanRow {
    int line;  // of the plan file
    MacAddress mac;
    SettingsChange change;  // blank cells keep the device's values
};

// The rows of a plan file: a `mac` column and any of the settings' columns;
// the other columns of a search's CSV are ignored, and so are lines whose
// cells are all blank. False, with one message per fault (named by its
// line), when the file is not such a CSV, a column is none of these (the
// nearest known name suggested) or a MAC, port or mode cell cannot be read.
bool ReadPlan(std::string_view text, std::vector<PlanRow>& rows, std::vector<std::string>& errors);

struct PlanProblem {
    int line;  // of the plan row, 0 for none
    std::string text;
};

// Everything that stands in the way of the plan: a MAC not found or found at
// two addresses, a MAC planned twice, two devices planned onto one address,
// an address already used by a device outside the plan or by one of
// `ownAdapters` (this computer's), an address that `use` says some other
// host answers for, an address, mask, gateway or DNS server that is not
// valid, a gateway outside the device's subnet, a mode other than static or
// dhcp, and ports the device refuses (0, or two alike). Checked on the
// values each device would have: planned where given, its own elsewhere.
// One device's `set` is a plan of one row.
// Of the MACs that answer for a planned address, the planned device's own
// is none of the others; nor are those of the plan's other devices, which
// leave their addresses (or are named already as planned onto it), nor
// that of a device outside the plan that the search found there, named
// already as using it; and this computer's own addresses are named as such
// only. A planned address that `use` could not probe is a problem too, as
// another host may hold it, unless `unprobedOk` takes it as free.
std::vector<PlanProblem> FindPlanProblems(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found,
                                          const std::vector<Adapter>& ownAdapters, const AddressUse& use,
                                          bool unprobedOk);

// The static addresses the plan's devices would have (each device found
// once): those to probe before the plan is judged. In the plan's order.
std::vector<std::uint32_t> PlannedAddresses(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found);
// Of those, the ones a device moves onto: not its address now. Only these
// must be known to be free; a device that keeps its address puts nobody
// new on it.
std::vector<std::uint32_t> NewAddresses(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found);
