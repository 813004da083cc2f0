#include "device/setting_values.h"

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
