#include "device/device_fields.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "device/setting_changes.h"
#include "device_rows.h"
#include "text_field.h"

namespace {

struct Field {
    const char* name;
    bool number;    // a number in JSON, else a text
    bool freeText;  // any text the device gives, not an address, a port or a mode
    std::optional<Setting> setting;
    std::string (*value)(const FoundDevice& device);  // for a field that is no setting
};

// After the MAC, the settings under their own names: a search's CSV, edited,
// is a plan.
const std::array<Field, kFieldCount> kFields = [] {
    const Field mac = {"mac", false, false, std::nullopt,
                       [](const FoundDevice& device) { return ReadTextField(device.record.macAddress); }};
    const Field others[] = {
        {"https", true, false, std::nullopt,
         [](const FoundDevice& device) { return std::to_string(device.record.httpsEnabled); }},
        {"product", false, true, std::nullopt,
         [](const FoundDevice& device) { return ReadTextField(device.record.productName); }},
        {"maker", false, true, std::nullopt,
         [](const FoundDevice& device) { return ReadTextField(device.record.manufacturer); }},
        {"firmware", false, true, std::nullopt,
         [](const FoundDevice& device) { return ReadTextField(device.record.firmwareVersion); }},
        {"name", false, true, std::nullopt,
         [](const FoundDevice& device) {
             return FirmwareDate(device.record) >= DEVICE_NAME_MIN_FIRMWARE_DATE
                        ? ReadTextField(device.record.deviceName)
                        : std::string("N/A");
         }},
        {"adapter", false, true, std::nullopt, [](const FoundDevice& device) { return device.adapter; }},
    };
    static_assert(1 + kSettingCount + std::size(others) == kFieldCount);
    std::array<Field, kFieldCount> fields = {mac};
    for (std::size_t i = 0; i < kSettingCount; ++i)
        fields[1 + i] = {kSettingNames[i], IsPortSetting(SettingAt(i)), false, SettingAt(i), nullptr};
    std::copy(std::begin(others), std::end(others), fields.begin() + 1 + kSettingCount);
    return fields;
}();

}  // namespace

const std::array<const char*, kFieldCount> kFieldNames = [] {
    std::array<const char*, kFieldCount> names{};
    for (std::size_t i = 0; i < kFieldCount; ++i)
        names[i] = kFields[i].name;
    return names;
}();

std::optional<std::size_t> FieldNamed(std::string_view name)
{
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (name == kFieldNames[i])
            return i;
    }
    return std::nullopt;
}

std::string FieldNameList()
{
    std::string list;
    for (const char* name : kFieldNames) {
        if (!list.empty())
            list += ' ';
        list += name;
    }
    return list;
}

bool IsNumberField(std::size_t field)
{
    return kFields.at(field).number;
}

bool IsFreeTextField(std::size_t field)
{
    return kFields.at(field).freeText;
}

std::array<std::string, kFieldCount> DeviceFieldValues(const FoundDevice& device)
{
    std::array<std::string, kFieldCount> values;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const Field& field = kFields[i];
        values[i] = field.setting ? CurrentSetting(device.record, *field.setting) : field.value(device);
    }
    return values;
}
