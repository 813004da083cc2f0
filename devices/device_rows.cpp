#include "device_rows.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "scan_long.h"
#include "text_field.h"

namespace {

// Splits at runs of `separator`; runs at either end make no empty tokens.
std::vector<std::string_view> Tokens(std::string_view text, char separator)
{
    std::vector<std::string_view> tokens;
    std::size_t start = 0;
    while (start < text.size()) {
        if (text[start] == separator) {
            ++start;
            continue;
        }
        const std::size_t end = std::min(text.find(separator, start), text.size());
        tokens.push_back(text.substr(start, end - start));
        start = end;
    }
    return tokens;
}

// A token's number: blanks, a sign, digits; 0 when it starts otherwise.
std::int32_t TokenValue(std::string_view token)
{
    return ScanLeadingLong(token).value_or(0);
}

}  // namespace

std::int32_t FirmwareDate(const DISCOVERY_DATA& record)
{
    const std::string version = ReadTextField(record.firmwareVersion).substr(0, 32);
    const std::vector<std::string_view> tokens = Tokens(version, '_');
    return tokens.size() >= 2 ? TokenValue(tokens.back()) : 0;
}

std::array<std::string, DEVICE_LIST_COLUMNS> DeviceRowTexts(const DISCOVERY_DATA& record, int row)
{
    std::array<std::string, DEVICE_LIST_COLUMNS> texts;
    texts[COLUMN_NO] = std::to_string(row + 1);
    texts[COLUMN_MAC_ADDRESS] = ReadTextField(record.macAddress);
    texts[COLUMN_IP_ADDRESS] = ReadTextField(record.ipAddress);
    texts[COLUMN_PRODUCT_NAME] = ReadTextField(record.productName);
    texts[COLUMN_MANUFACTURER] = ReadTextField(record.manufacturer);
    texts[COLUMN_FIRMWARE_VERSION] = ReadTextField(record.firmwareVersion);
    texts[COLUMN_DEVICE_NAME] =
        FirmwareDate(record) >= DEVICE_NAME_MIN_FIRMWARE_DATE ? ReadTextField(record.deviceName) : "N/A";
    return texts;
}

std::string AddressSortKey(const DISCOVERY_DATA& record)
{
    const std::string address = ReadTextField(record.ipAddress);
    const std::vector<std::string_view> tokens = Tokens(address, '.');
    unsigned parts[4] = {};
    for (std::size_t i = 0; i < 4 && i < tokens.size(); ++i)
        parts[i] = static_cast<std::uint32_t>(TokenValue(tokens[i])) & 0xFFu;
    char key[16];
    std::snprintf(key, sizeof key, "%03u.%03u.%03u.%03u", parts[0], parts[1], parts[2], parts[3]);
    return key;
}

std::string DeviceSortKey(int column, const std::string& cellText, const DISCOVERY_DATA& record)
{
    switch (column) {
        case COLUMN_CHECK_BOX:
            return {};
        case COLUMN_NO: {
            // Ten digits hold any row number, so that the text order is the
            // numbers' order.
            char key[16];
            std::snprintf(key, sizeof key, "%010d", static_cast<int>(std::max<std::int32_t>(TokenValue(cellText), 0)));
            return key;
        }
        case COLUMN_IP_ADDRESS:
            return AddressSortKey(record);
        default:
            return cellText;
    }
}

int CompareMultibyte(std::string_view first, std::string_view second, bool (*isLeadByte)(unsigned char))
{
    std::size_t i = 0, j = 0;
    // The next unit of `text` at `at`, moving past it.
    const auto unit = [isLeadByte](std::string_view text, std::size_t& at) {
        unsigned value = static_cast<unsigned char>(text[at++]);
        if (isLeadByte(static_cast<unsigned char>(value)) && at < text.size())
            value = value << 8 | static_cast<unsigned char>(text[at++]);
        return value;
    };
    while (i < first.size() && j < second.size()) {
        const unsigned a = unit(first, i);
        const unsigned b = unit(second, j);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (i < first.size())
        return 1;
    return j < second.size() ? -1 : 0;
}
