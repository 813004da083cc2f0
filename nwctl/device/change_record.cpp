#include "device/change_record.h"

#include "device_commands.h"

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
