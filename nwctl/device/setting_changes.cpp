#include "device/setting_changes.h"

#include "io/safe_text.h"
#include "text_field.h"
#include "text_join.h"

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
    return JoinTexts(changes, ", ", [](const SettingDifference& difference) {
        return std::string(kSettingNames[static_cast<std::size_t>(difference.setting)]) + " " +
               SafeText(difference.from) + " -> " + SafeText(difference.to);
    });
}
