#include "settings.h"

#include "safe_text.h"
#include "text_field.h"

std::optional<Setting> SettingNamed(std::string_view name)
{
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        if (name == kSettingNames[i])
            return SettingAt(i);
    }
    return std::nullopt;
}

bool IsPortSetting(Setting setting)
{
    return setting >= Setting::WebPort;
}

std::string ModeText(std::uint32_t dhcp)
{
    if (dhcp == 0)
        return "static";
    if (dhcp == 1)
        return "dhcp";
    return std::to_string(dhcp);
}

std::string CurrentSetting(const DISCOVERY_DATA& record, Setting setting)
{
    switch (setting) {
        case Setting::Ip:
            return ReadTextField(record.ipAddress);
        case Setting::Mask:
            return ReadTextField(record.subnetMask);
        case Setting::Gateway:
            return ReadTextField(record.gateway);
        case Setting::Dns:
            return ReadTextField(record.dns);
        case Setting::Mode:
            return ModeText(record.dhcp);
        case Setting::WebPort:
            return std::to_string(record.webPort);
        case Setting::ControlPort:
            return std::to_string(record.controlPort);
        case Setting::VideoPort:
            return std::to_string(record.videoPort);
        case Setting::AudioTransmitPort:
            return std::to_string(record.audioTransmitPort);
        case Setting::AudioReceivePort:
            return std::to_string(record.audioReceivePort);
    }
    return {};
}

std::string EffectiveSetting(const DISCOVERY_DATA& record, const SettingsChange& change, Setting setting)
{
    const auto& value = change[static_cast<std::size_t>(setting)];
    return value ? *value : CurrentSetting(record, setting);
}

std::vector<SettingDifference> ChangedSettings(const DISCOVERY_DATA& record, const SettingsChange& change)
{
    std::vector<SettingDifference> changes;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const std::string current = CurrentSetting(record, SettingAt(i));
        if (change[i] && *change[i] != current)
            changes.push_back({SettingAt(i), current, *change[i]});
    }
    return changes;
}

std::string DescribeChanges(const std::vector<SettingDifference>& changes)
{
    if (changes.empty())
        return "no change";
    std::string text;
    for (const SettingDifference& difference : changes) {
        if (!text.empty())
            text += ", ";
        text += std::string(kSettingNames[static_cast<std::size_t>(difference.setting)]) + " " +
                SafeText(difference.from) + " -> " + SafeText(difference.to);
    }
    return text;
}

bool ParseSettingValue(Setting setting, std::string_view text, std::string& canonical, std::string& error)
{
    const std::string name = kSettingNames[static_cast<std::size_t>(setting)];
    if (setting == Setting::Mode) {
        std::string lower;
        for (const char c : text)
            lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != "static" && lower != "dhcp") {
            error = name + " must be static or dhcp";
            return false;
        }
        canonical = lower;
        return true;
    }
    if (IsPortSetting(setting)) {
        unsigned long value = 0;
        for (const char c : text) {
            if (c < '0' || c > '9' || (value = value * 10 + static_cast<unsigned long>(c - '0')) > 65535) {
                value = 65536;
                break;
            }
        }
        if (text.empty() || value > 65535) {
            error = name + " must be a whole number from 0 to 65535";
            return false;
        }
        canonical = std::to_string(value);
        return true;
    }
    canonical = std::string(text);
    return true;
}

DISCOVERY_DATA BuildChangeRecord(const DISCOVERY_DATA& stored, const SettingsChange& change, std::string_view userId,
                                 std::string_view password)
{
    PanelSettings panel = PanelFromRecord(stored);
    const auto value = [&change](Setting setting) -> const std::optional<std::string>& {
        return change[static_cast<std::size_t>(setting)];
    };
    const auto port = [&value](Setting setting, long& field) {
        if (value(setting))
            field = std::stol(*value(setting));
    };
    if (value(Setting::Ip))
        panel.ipAddress = *value(Setting::Ip);
    if (value(Setting::Mask))
        panel.subnetMask = *value(Setting::Mask);
    if (value(Setting::Gateway))
        panel.gateway = *value(Setting::Gateway);
    if (value(Setting::Dns))
        panel.dns = *value(Setting::Dns);
    if (value(Setting::Mode))
        panel.addressMode = *value(Setting::Mode) == "dhcp" ? 1 : 0;
    port(Setting::WebPort, panel.webPort);
    port(Setting::ControlPort, panel.controlPort);
    port(Setting::VideoPort, panel.videoPort);
    port(Setting::AudioTransmitPort, panel.audioTransmitPort);
    port(Setting::AudioReceivePort, panel.audioReceivePort);
    return BuildSaveRecord(stored, panel, userId, password);
}
