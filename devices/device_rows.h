// What the device list shows of a record and how its rows sort.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "discovery_data.h"

// The device name shows only for firmware of this date or later.
constexpr std::int32_t DEVICE_NAME_MIN_FIRMWARE_DATE = 20220807;

constexpr int DEVICE_LIST_COLUMNS = 8;

struct DeviceColumn {
    const char* title;
    int width;  // pixels
};
extern const std::array<DeviceColumn, DEVICE_LIST_COLUMNS> kDeviceColumns;

// The date in the firmware version: the value of its last "_"-separated
// token when there are two tokens or more, else 0. Only the first 32
// characters count.
std::int32_t FirmwareDate(const DISCOVERY_DATA& record);

// The texts of the row that shows `record` as the list's row `row`
// (0-based); column 0 holds only the check box.
std::array<std::string, DEVICE_LIST_COLUMNS> DeviceRowTexts(const DISCOVERY_DATA& record, int row);

// The key a row sorts by in `column`, from its cell text and its record. The
// "NO" column's numbers (from 1 up; a cell without one counts as 0) become
// ten digits, so that they sort by value.
std::string DeviceSortKey(int column, const std::string& cellText, const DISCOVERY_DATA& record);

// "192.168.0.1" gives "192.168.000.001": four parts, each its value's low
// eight bits; a missing part counts as 0.
std::string AddressSortKey(const DISCOVERY_DATA& record);

// Compares by character code, case-sensitively; a double-byte character
// (a lead byte and the byte after it) is one unit, lead byte first.
// Returns -1, 0 or 1.
int CompareMultibyte(std::string_view first, std::string_view second, bool (*isLeadByte)(unsigned char));
