// The plan and inventory checks as they were before the found devices were
// indexed by MAC: the baseline of the rules benchmark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rules/inventory_rules.h"
#include "rules/plan_rules.h"

namespace before {

std::vector<PlanProblem> FindPlanProblems(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found);
std::vector<InventoryFinding> CompareInventory(const std::vector<ExpectedDevice>& expected,
                                               const std::vector<FoundDevice>& found,
                                               std::optional<std::int32_t> minFirmwareDate);
// The dry run's walk over the plan: each row's device and its changes.
std::size_t DryRunSteps(const std::vector<PlanRow>& rows, const std::vector<FoundDevice>& found);

}  // namespace before
