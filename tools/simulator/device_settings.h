// `key=value` settings of a device or of a crafted record, as given on the
// command line and in description files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "discovery_data.h"
#include "sim_device.h"

// A device setting: a record field by name or alias (not `command` or
// `passwordDigest`), the credentials `userId` and `password`, or a behaviour
// key. `KEY.hex` gives a field's or credential's raw bytes.
bool ApplyDeviceSetting(SimDevice& device, std::string_view key, std::string_view value, std::string& error);

// A setting of a record that is sent as it is: any record field (`command`
// included, `userId` into the record), or `password`, whose digest goes into
// `passwordDigest`.
bool ApplyRecordSetting(DISCOVERY_DATA& record, std::string_view key, std::string_view value, std::string& error);

// "key=value,key=value": values cannot hold a comma (use KEY.hex for that).
bool ApplyDeviceSettingList(SimDevice& device, std::string_view list, std::string& error);

// Decimal digits only, at most `max`.
bool ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t& value);

// A decimal number of seconds from 0 to one day.
bool ParseSeconds(std::string_view text, double& seconds);
