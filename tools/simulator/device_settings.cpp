#include "device_settings.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "hex.h"
#include "ipv4_text.h"
#include "md5.h"
#include "record_fields.h"

namespace {

constexpr std::string_view kHexSuffix = ".hex";

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// The value's bytes: the text itself, or what its hex digits say.
bool ValueBytes(std::string_view key, bool hex, std::string_view value, std::string& bytes, std::string& error)
{
    if (!hex) {
        bytes = std::string(value);
        return true;
    }
    if (!ParseHex(value, bytes)) {
        error = std::string(key) + ".hex: " + Quoted(value) + " is not hex (pairs of digits 0-9, a-f)";
        return false;
    }
    return true;
}

// Accepts the field's unsigned range and, so that "-1" can stand for all
// bits set, its signed range.
bool ParseFieldNumber(std::string_view name, const RecordField& field, std::string_view text, std::uint32_t& value,
                      std::string& error)
{
    const std::int64_t high = (std::int64_t{1} << (8 * field.width)) - 1;
    const std::int64_t low = -(std::int64_t{1} << (8 * field.width - 1));
    std::int64_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || failure != std::errc() || stop != end || parsed < low || parsed > high) {
        error = std::string(name) + ": " + Quoted(text) + " is not a whole number from " + std::to_string(low) +
                " to " + std::to_string(high);
        return false;
    }
    value = static_cast<std::uint32_t>(static_cast<std::uint64_t>(parsed) & static_cast<std::uint64_t>(high));
    return true;
}

// `name` is the field's name as the user gave it, for messages.
bool ApplyField(DISCOVERY_DATA& record, std::string_view name, const RecordField& field, bool hex,
                std::string_view value, std::string& error)
{
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    if (hex) {
        std::string raw;
        if (!ValueBytes(name, true, value, raw, error))
            return false;
        if (raw.size() > field.width) {
            error = std::string(name) + ".hex: " + std::to_string(raw.size()) + " bytes do not fit the field's " +
                    std::to_string(field.width);
            return false;
        }
        FillField(bytes, field, raw);
        return true;
    }
    switch (field.kind) {
        case FieldKind::Text:
            FillField(bytes, field, value);
            return true;
        case FieldKind::Number: {
            std::uint32_t number = 0;
            if (!ParseFieldNumber(name, field, value, number, error))
                return false;
            WriteNumberField(bytes, field, number);
            return true;
        }
        case FieldKind::Bytes:
            error = std::string(name) + ": give its bytes as " + std::string(name) + ".hex";
            return false;
    }
    return false;
}

template <auto Member>
bool SetCount(DeviceBehaviour& b, std::string_view key, std::string_view value, std::string& error)
{
    std::uint64_t parsed = 0;
    if (!ParseUnsigned(value, 0xFFFFFFFFu, parsed)) {
        error = std::string(key) + ": " + Quoted(value) + " is not a whole number from 0 to 4294967295";
        return false;
    }
    b.*Member = static_cast<std::uint32_t>(parsed);
    return true;
}

template <auto Member>
bool SetSeconds(DeviceBehaviour& b, std::string_view key, std::string_view value, std::string& error)
{
    double seconds = 0;
    if (!ParseSeconds(value, seconds)) {
        error = std::string(key) + ": " + Quoted(value) + " is not a number of seconds from 0 to 86400";
        return false;
    }
    b.*Member = seconds;
    return true;
}

template <auto Member>
bool SetFlag(DeviceBehaviour& b, std::string_view key, std::string_view value, std::string& error)
{
    if (value == "1" || value == "true" || value == "yes") {
        b.*Member = true;
    } else if (value == "0" || value == "false" || value == "no") {
        b.*Member = false;
    } else {
        error = std::string(key) + ": " + Quoted(value) + " is not 0 or 1";
        return false;
    }
    return true;
}

template <auto Member>
bool SetAddress(DeviceBehaviour& b, std::string_view key, std::string_view value, std::string& error)
{
    if (!IsDottedIPv4(value)) {
        error = std::string(key) + ": " + Quoted(value) + " is not a dotted IPv4 address";
        return false;
    }
    b.*Member = std::string(value);
    return true;
}

struct BehaviourKey {
    std::string_view name;
    bool (*apply)(DeviceBehaviour&, std::string_view key, std::string_view value, std::string& error);
};

const BehaviourKey kBehaviourKeys[] = {
    {"delay", SetSeconds<&DeviceBehaviour::delay>},           {"answers", SetCount<&DeviceBehaviour::answers>},
    {"repeat", SetCount<&DeviceBehaviour::repeat>},           {"silent", SetFlag<&DeviceBehaviour::silent>},
    {"broadcast", SetFlag<&DeviceBehaviour::broadcast>},      {"applyResult", SetCount<&DeviceBehaviour::applyResult>},
    {"applyCount", SetCount<&DeviceBehaviour::applyCount>},   {"applyDelay", SetSeconds<&DeviceBehaviour::applyDelay>},
    {"rebootTime", SetSeconds<&DeviceBehaviour::rebootTime>}, {"appearAt", SetSeconds<&DeviceBehaviour::appearAt>},
    {"leaveAt", SetSeconds<&DeviceBehaviour::leaveAt>},       {"rejoinAt", SetSeconds<&DeviceBehaviour::rejoinAt>},
    {"moveAt", SetSeconds<&DeviceBehaviour::moveAt>},         {"moveBackAt", SetSeconds<&DeviceBehaviour::moveBackAt>},
    {"moveTo", SetAddress<&DeviceBehaviour::moveTo>},
};

// Splits "name.hex" into the name and whether the value is hex.
std::string_view BaseKey(std::string_view key, bool& hex)
{
    hex = key.size() > kHexSuffix.size() && key.substr(key.size() - kHexSuffix.size()) == kHexSuffix;
    return hex ? key.substr(0, key.size() - kHexSuffix.size()) : key;
}

}  // namespace

bool ApplyDeviceSetting(SimDevice& device, std::string_view key, std::string_view value, std::string& error)
{
    bool hex = false;
    const std::string_view name = BaseKey(key, hex);
    std::string bytes;
    if (name == "userId" || name == "user" || name == "password" || name == "applyMac") {
        if (!ValueBytes(name, hex, value, bytes, error))
            return false;
        if (name == "password")
            device.password = bytes;
        else if (name == "applyMac")
            device.behaviour.applyMac = bytes;
        else
            device.userId = bytes;
        return true;
    }
    for (const BehaviourKey& behaviourKey : kBehaviourKeys) {
        if (!hex && name == behaviourKey.name)
            return behaviourKey.apply(device.behaviour, name, value, error);
    }
    const RecordField* field = FindRecordField(name);
    if (!field) {
        error = "unknown key " + Quoted(key);
        return false;
    }
    if (field->offset == offsetof(DISCOVERY_DATA, command) ||
        field->offset == offsetof(DISCOVERY_DATA, passwordDigest)) {
        error = std::string(name) + " is set by each message, not by the device";
        return false;
    }
    return ApplyField(device.record, name, *field, hex, value, error);
}

bool ApplyRecordSetting(DISCOVERY_DATA& record, std::string_view key, std::string_view value, std::string& error)
{
    bool hex = false;
    const std::string_view name = BaseKey(key, hex);
    if (name == "password") {
        std::string bytes;
        if (!ValueBytes(name, hex, value, bytes, error))
            return false;
        SetPasswordDigest(record, bytes);
        return true;
    }
    const RecordField* field = FindRecordField(name);
    if (!field) {
        error = "unknown record field " + Quoted(key);
        return false;
    }
    return ApplyField(record, name, *field, hex, value, error);
}

bool ApplyDeviceSettingList(SimDevice& device, std::string_view list, std::string& error)
{
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string_view item = list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            error = "setting " + Quoted(item) + " is not key=value";
            return false;
        }
        if (!ApplyDeviceSetting(device, item.substr(0, equals), item.substr(equals + 1), error))
            return false;
        if (comma == std::string_view::npos)
            return true;
        start = comma + 1;
    }
}

bool ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t& value)
{
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return false;
    std::uint64_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
    if (failure != std::errc() || stop != end || parsed > max)
        return false;
    value = parsed;
    return true;
}

bool ParseSeconds(std::string_view text, double& seconds)
{
    if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.'))
        return false;
    double parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, parsed, std::chars_format::fixed);
    if (failure != std::errc() || stop != end || !std::isfinite(parsed) || parsed > 86400.0)
        return false;
    seconds = parsed;
    return true;
}
