// What the device list shows of a record and how its rows sort.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "discovery_data.h"

// The device name shows only for firmware of this date or later.
constexpr std::int32_t DEVICE_NAME_MIN_FIRMWARE_DATE = 20220807;

// The list's columns, left to right: the one place their indices are given.
// (The end-to-end tests read them from here too.)
enum DeviceListColumn : int {
    COLUMN_CHECK_BOX,
    COLUMN_NO,
    COLUMN_MAC_ADDRESS,
    COLUMN_IP_ADDRESS,
    COLUMN_PRODUCT_NAME,
    COLUMN_MANUFACTURER,
    COLUMN_FIRMWARE_VERSION,
    COLUMN_DEVICE_NAME,
    DEVICE_LIST_COLUMNS
};

struct DeviceColumn {
    const char* title;
    int width;  // pixels
};
// Indexed by DeviceListColumn.
inline constexpr DeviceColumn kDeviceColumns[] = {
    {"", 25},
    {"NO", 30},
    {"MAC ADDRESS", 115},
    {"IP ADDRESS", 105},
    {"PRODUCT NAME", 120},
    {"MANUFACTURER", 110},
    {"FIRMWAREVERSION", 125},
    {"DEVICE NAME", 125},
};
static_assert(std::size(kDeviceColumns) == DEVICE_LIST_COLUMNS, "one title and width per column");

// The date in the firmware version: the value of its last "_"-separated
// token when there are two tokens or more, else 0. Only the first 32
// characters count.
std::int32_t FirmwareDate(const DISCOVERY_DATA& record);

// The texts of the row that shows `record` as the list's row `row`
// (0-based), indexed by DeviceListColumn; the check box column has none.
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
