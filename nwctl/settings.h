// The settings nwctl changes, named as in every table, CSV file and JSON
// object it reads or writes, and how a change becomes the Save record the
// window program would send for it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_commands.h"
#include "discovery_data.h"

enum class Setting {
    Ip,
    Mask,
    Gateway,
    Dns,
    Mode,
    WebPort,
    ControlPort,
    VideoPort,
    AudioTransmitPort,
    AudioReceivePort,
};
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

constexpr Setting SettingAt(std::size_t index)
{
    return static_cast<Setting>(index);
}
std::optional<Setting> SettingNamed(std::string_view name);
bool IsPortSetting(Setting setting);

// One text per setting that changes: addresses as given, "static" or
// "dhcp", ports in decimal. A setting without a value keeps the device's.
using SettingsChange = std::array<std::optional<std::string>, kSettingCount>;

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

// The value of a port or mode setting as typed (blanks around it are the
// caller's to remove): a port is a decimal number 0 to 65535, a mode is
// "static" or "dhcp" in either case. False with `error` otherwise.
bool ParseSettingValue(Setting setting, std::string_view text, std::string& canonical, std::string& error);

// The Save record for the device with the change typed into the panel.
DISCOVERY_DATA BuildChangeRecord(const DISCOVERY_DATA& stored, const SettingsChange& change, std::string_view userId,
                                 std::string_view password);
