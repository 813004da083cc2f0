// The order of a plan's Saves: a device moves onto an address only after
// every device that holds it has left it, so that no step puts two devices
// on one address. Devices that wait for each other in a circle (a swap, or
// more) are untied by one of them going through a free temporary address
// first. A Save that fails holds back every Save that waits for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/found_devices.h"
#include "probe/address_use.h"
#include "rules/adapter_choice.h"
#include "rules/plan_rules.h"

// A plan row with the device it names: the rows whose MAC the search found
// at one address, each MAC's first row only, in the plan's order.
struct PlannedDevice {
    const PlanRow* row;
    const FoundDevice* device;
};
std::vector<PlannedDevice> PlannedDevices(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found);

// A Save that must have gone through before another one is sent: `step`
// took its device off `address`.
struct SaveWait {
    std::size_t step;
    std::uint32_t address;
};

struct SaveStep {
    std::size_t device;  // into the planned devices
    // Set: this Save only moves the device to this address, static, its
    // other settings as they are, out of the way of a circle; its planned
    // Save comes later.
    std::optional<std::uint32_t> temporary;
    std::vector<SaveWait> waits;  // earlier steps, in the order of the holders
};

struct SaveOrder {
    std::vector<SaveStep> steps;
    // Where the order matters, one line per step that waits, for the dry
    // run: "line 2 after line 3: 00:1A:2B:00:00:01 moves onto 198.51.100.130
    // once 00:1A:2B:00:30:01 has left it", and for each temporary address
    // "line 2: 00:1A:2B:00:00:01 goes through 198.51.100.3 first: ...".
    std::vector<std::string> notes;
    // What no order can solve: a device planned onto the address of one
    // that keeps it, or a circle with no free temporary address.
    std::vector<PlanProblem> problems;
    // Temporary addresses chosen that the probe has said nothing of yet:
    // probe them and order again.
    std::vector<std::uint32_t> unprobed;
};

// Every planned device's Save once, in the plan's order where nothing
// stands in the way. A device holds the address it has now, and leaves it
// by its Save when the plan gives it another static address, or dhcp mode
// when it is static now. A temporary address is chosen by the rule that
// --assign gives addresses by (NextFreeAddress): in the device's subnet by
// its own address and mask, not this computer's (`ownAdapters`), no found
// device's, no planned address, gateway or DNS server of the plan's
// devices, and none that `use` says a host answers for; the first of the
// circle in the plan's order goes through it. Checked on a plan with no
// problems (FindPlanProblems).
SaveOrder OrderSaves(const std::vector<PlannedDevice>& devices, const std::vector<FoundDevice>& found,
                     const std::vector<Adapter>& ownAdapters, const AddressUse& use);

// The temporary addresses of `order` that the probe could not reach, in
// the order's order: unknown, not free, as a planned address is. Each is a
// problem of its device's row (UnprobedTemporaryProblems) unless the
// operator takes them as free.
std::vector<std::uint32_t> UnprobedTemporaries(const SaveOrder& order, const AddressUse& use);
std::vector<PlanProblem> UnprobedTemporaryProblems(const std::vector<PlannedDevice>& devices, const SaveOrder& order,
                                                   const AddressUse& use);

// What the Save to a temporary address changes: the address, and the mode
// to static, or a device in dhcp mode now would keep its lease.
SettingsChange TemporaryChange(std::uint32_t address);

// The first wait of `step` whose step did not succeed (`succeeded`, by
// step, for the steps before it); null when it may be sent.
const SaveWait* UnmetWait(const SaveStep& step, const std::vector<bool>& succeeded);
