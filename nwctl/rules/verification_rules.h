// The verification after plan --apply's Saves: what each device shows in
// the search and the probe that follow, judged against its plan row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/mac.h"
#include "device/setting_changes.h"

struct DeviceAfter {
    bool answered = false;                // once, from one address
    std::vector<SettingDifference> left;  // planned values it does not show
    std::optional<std::uint32_t> shown;   // the address it shows
    bool probed = false;                  // the probe reached that address
    // The other MACs on it, as the probe and the search heard them; null
    // when it was not probed and the search heard no other.
    std::optional<std::vector<MacAddress>> inUseBy;
};

// The other MACs on the address of the device `mac`: those the probe heard
// there (`probed`, null when the probe did not reach it) and those the
// search heard (`searched`, null for none). Null when the address was not
// probed and the search heard no other; empty when it was and nobody else
// answers.
std::optional<std::vector<MacAddress>> OthersOnAddress(const MacAddress& mac, const std::vector<MacAddress>* probed,
                                                       const std::set<MacAddress>* searched);

// It answered and shows its planned values, and no other MAC answers for
// its address (as far as the probe and the search could tell: see Probed).
// A device in use by another MAC always has the address it shows.
bool Verified(const DeviceAfter& after);
// Whether the probe reached the address it shows.
bool Probed(const DeviceAfter& after);

// "verified", "verified, address not probed" or "NOT verified: WHY", the
// reasons joined by "; ".
std::string VerificationText(const DeviceAfter& after);

// "N of M devices applied and verified; audit log PATH", with ", K of them
// at addresses that could not be probed" before the log where some were.
std::string ApplySummary(std::size_t verified, std::size_t notProbed, std::size_t total, const std::string& auditPath);
