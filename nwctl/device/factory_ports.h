// The ports a device leaves the factory with. A device that still has them
// after installation is easy to find for anyone on the LAN; the handover
// report names it.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "device/setting_names.h"

inline constexpr std::array<std::pair<Setting, std::uint32_t>, 5> kFactoryPorts = {{
    {Setting::WebPort, 80},
    {Setting::ControlPort, 30001},
    {Setting::VideoPort, 30002},
    {Setting::AudioTransmitPort, 30004},
    {Setting::AudioReceivePort, 30003},
}};
