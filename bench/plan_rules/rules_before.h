// The plan and inventory checks as they were before the found devices were
// indexed by MAC: the baseline of the rules benchmark. Its inputs and
// outputs are its own, in the terms of the record and of plain values, so
// that the rules it is measured against can change shape without it: the
// benchmark fills these from whatever the rules read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "discovery_data.h"

namespace before {

using Mac = std::array<unsigned char, 6>;

// The settings a plan changes, by their column names.
constexpr std::size_t kSettingCount = 10;
inline constexpr std::array<const char*, kSettingCount> kSettingNames = {
    "ip",
    "mask",
    "gateway",
    "dns",
    "mode",
    "web_port",
    "control_port",
    "video_port",
    "audio_transmit_port",
    "audio_receive_port",
};
using SettingsChange = std::array<std::optional<std::string>, kSettingCount>;

struct PlanRow {
    int line;
    Mac mac;
    SettingsChange change;  // none: the device's own value
};

struct PlanProblem {
    int line;
    std::string text;
};

struct ExpectedDevice {
    Mac mac;
    std::optional<std::uint32_t> ip;
};

struct InventoryFinding {
    std::string kind, mac, ip, detail;
};

std::vector<PlanProblem> FindPlanProblems(const std::vector<PlanRow>& plan, const std::vector<DISCOVERY_DATA>& found);
std::vector<InventoryFinding> CompareInventory(const std::vector<ExpectedDevice>& expected,
                                               const std::vector<DISCOVERY_DATA>& found,
                                               std::optional<std::int32_t> minFirmwareDate);
// The dry run's walk over the plan: each row's device and its changes.
std::size_t DryRunSteps(const std::vector<PlanRow>& rows, const std::vector<DISCOVERY_DATA>& found);

}  // namespace before
