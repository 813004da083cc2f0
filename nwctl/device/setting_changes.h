// A device's settings beside the values a change gives them: what differs,
// and how to say it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/setting_names.h"
#include "discovery_data.h"

// The address mode as text: "static", "dhcp", or the record's number for
// anything else.
std::string ModeText(std::uint32_t dhcp);

// A setting of the device as the tables show it.
std::string CurrentSetting(const DISCOVERY_DATA& record, Setting setting);

// The device's value, or the change's where it has one.
std::string EffectiveSetting(const DISCOVERY_DATA& record, const SettingsChange& change, Setting setting);

struct SettingDifference {
    Setting setting;
    std::string from;
    std::string to;
};

// The settings whose value in `change` differs from the device's.
std::vector<SettingDifference> ChangedSettings(const DISCOVERY_DATA& record, const SettingsChange& change);

// "ip 192.0.2.10 -> 192.0.2.20, web_port 80 -> 8080", made safe to show;
// "no change" for none.
std::string DescribeChanges(const std::vector<SettingDifference>& changes);
