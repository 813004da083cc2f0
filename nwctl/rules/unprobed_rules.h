// Addresses nwctl could not probe: unknown, never free. What set, plan and
// check say of them, and what the operator gives to take them as free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/found_devices.h"
#include "probe/address_use.h"
#include "rules/plan_rules.h"

// The addresses the plan's devices would move onto (NewAddresses) that
// `use` could not probe: ascending, each once.
std::vector<std::uint32_t> UnprobedAddresses(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found,
                                             const AddressUse& use);

// ". To take the address that could not be probed as free, give
// --unprobed-ok" (or "the N addresses"), to end a refusal; empty for none.
std::string UnprobedAdvice(std::size_t count);

// "--unprobed-ok: taken as free, though it could not be probed: A" (or
// "though they ...: A, B"); empty for none.
std::string TakenAsFreeText(const std::vector<std::uint32_t>& addresses);

// check's word when it has nothing else to report: "nothing to report, but
// N addresses could not be probed (WHY): A, B; ...", by `use`'s reasons.
std::string NothingToReportBut(const AddressUse& use);
