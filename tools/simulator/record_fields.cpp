#include "record_fields.h"

#include <algorithm>
#include <cstring>

#include "discovery_data.h"

namespace {

#define NW_FIELD(member, alias, kind)                                                                     \
    RecordField                                                                                           \
    {                                                                                                     \
#member, alias, offsetof(DISCOVERY_DATA, member), sizeof(DISCOVERY_DATA::member), FieldKind::kind \
    }

constexpr RecordField kFields[] = {
    NW_FIELD(command, nullptr, Number),
    NW_FIELD(result, nullptr, Number),
    NW_FIELD(userId, "user", Text),
    NW_FIELD(passwordDigest, nullptr, Bytes),
    NW_FIELD(macAddress, "mac", Text),
    NW_FIELD(productName, "product", Text),
    NW_FIELD(manufacturer, "maker", Text),
    NW_FIELD(deviceName, "name", Text),
    NW_FIELD(firmwareVersion, "firmware", Text),
    NW_FIELD(dhcp, nullptr, Number),
    NW_FIELD(ipAddress, "ip", Text),
    NW_FIELD(subnetMask, "mask", Text),
    NW_FIELD(gateway, nullptr, Text),
    NW_FIELD(dns, nullptr, Text),
    NW_FIELD(webPort, nullptr, Number),
    NW_FIELD(controlPort, nullptr, Number),
    NW_FIELD(videoPort, nullptr, Number),
    NW_FIELD(audioReceivePort, nullptr, Number),
    NW_FIELD(audioTransmitPort, nullptr, Number),
    NW_FIELD(httpsEnabled, "https", Number),
};

#undef NW_FIELD

}  // namespace

std::span<const RecordField> RecordFields()
{
    return kFields;
}

const RecordField* FindRecordField(std::string_view name)
{
    for (const RecordField& field : kFields) {
        if (name == field.name || (field.alias && name == field.alias))
            return &field;
    }
    return nullptr;
}

std::uint32_t ReadNumberField(const unsigned char* record, const RecordField& field)
{
    std::uint32_t value = 0;
    for (std::size_t i = field.width; i-- > 0;)
        value = (value << 8) | record[field.offset + i];
    return value;
}

void WriteNumberField(unsigned char* record, const RecordField& field, std::uint32_t value)
{
    for (std::size_t i = 0; i < field.width; ++i) {
        record[field.offset + i] = static_cast<unsigned char>(value & 0xFFu);
        value >>= 8;
    }
}

void FillField(unsigned char* record, const RecordField& field, std::string_view bytes)
{
    const std::size_t length = std::min(bytes.size(), field.width);
    if (length > 0)  // an empty view may have no data pointer at all
        std::memcpy(record + field.offset, bytes.data(), length);
    std::memset(record + field.offset + length, 0, field.width - length);
}
