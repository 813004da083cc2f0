#include "device/mac.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "hex.h"
#include "io/safe_text.h"

namespace {

// `text` as groups of `width` hex digits, each group but the last followed
// by `separator` (none when it is NUL).
std::optional<MacAddress> Groups(std::string_view text, std::size_t width, char separator)
{
    const std::size_t groups = 12 / width;
    const std::size_t expected = 12 + (separator ? groups - 1 : 0);
    if (text.size() != expected)
        return std::nullopt;
    std::string digits;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (separator && at % (width + 1) == width) {
            if (text[at] != separator)
                return std::nullopt;
        } else {
            digits += text[at];
        }
    }
    std::string bytes;
    if (!ParseHex(digits, bytes))
        return std::nullopt;
    MacAddress mac{};
    std::memcpy(mac.data(), bytes.data(), mac.size());
    return mac;
}

}  // namespace

std::optional<MacAddress> ParseMac(std::string_view text)
{
    for (const auto& [width, separator] : {std::pair<std::size_t, char>{2, ':'}, {2, '-'}, {4, '.'}, {12, '\0'}}) {
        if (auto mac = Groups(text, width, separator))
            return mac;
    }
    return std::nullopt;
}

std::string FormatMac(const MacAddress& mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

std::string MacList(const std::vector<MacAddress>& macs)
{
    std::string list;
    for (std::size_t i = 0; i < macs.size(); ++i)
        list += (i == 0 ? "" : i + 1 == macs.size() ? " and " : ", ") + FormatMac(macs[i]);
    return list;
}

std::string ShortMacList(const std::vector<MacAddress>& macs, std::size_t most)
{
    if (macs.size() <= most)
        return MacList(macs);
    std::string list;
    for (std::size_t i = 0; i < most; ++i)
        list += (i == 0 ? "" : ", ") + FormatMac(macs[i]);
    return list + " and " + std::to_string(macs.size() - most) + " more";
}

std::string NotAMac(std::string_view text)
{
    std::string message = "\"";
    message += ShortText(text);
    message += "\" is not a MAC address: give ";
    message += kMacForms;
    return message;
}
