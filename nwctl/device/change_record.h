// How a change to a device's settings becomes the Save record the window
// program would send for it.
#pragma once

#include <string_view>

#include "device/setting_names.h"
#include "discovery_data.h"

// The Save record for the device with the change typed into the panel.
DISCOVERY_DATA BuildChangeRecord(const DISCOVERY_DATA& stored, const SettingsChange& change, std::string_view userId,
                                 std::string_view password);
