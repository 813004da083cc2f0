#include "device/setting_names.h"

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
