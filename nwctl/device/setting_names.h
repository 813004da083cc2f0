// The settings nwctl changes, named as in every table, CSV file and JSON
// object it reads or writes.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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
