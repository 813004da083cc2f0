// Every field nwctl shows of a device, by the names it uses everywhere:
// CSV header, JSON keys, plan columns.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "device/found_devices.h"

constexpr std::size_t kFieldCount = 17;
extern const std::array<const char*, kFieldCount> kFieldNames;

// The field of that name, exactly as kFieldNames spells it.
std::optional<std::size_t> FieldNamed(std::string_view name);

// Every field's name, blank-separated, for messages that list them.
std::string FieldNameList();

// Whether the field is a number in JSON (the ports, https) or a text, as
// the field table says.
bool IsNumberField(std::size_t field);

// Whether the field is any text the device gives (product, maker, firmware,
// name, adapter), which a table may cut, rather than a MAC, an address, a
// port or a mode, which is no use cut.
bool IsFreeTextField(std::size_t field);

// The device's values, as bytes (not yet made safe to show). The name shows
// only for firmware of the list's date or later, else "N/A", as in the
// device list.
std::array<std::string, kFieldCount> DeviceFieldValues(const FoundDevice& device);
