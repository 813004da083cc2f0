#include "web_address.h"

#include "ipv4_text.h"
#include "text_field.h"

std::optional<std::string> DeviceWebAddress(const DISCOVERY_DATA& record, int httpsEnabled, long webPort)
{
    const std::string host = ReadTextField(record.ipAddress);
    if (!IsDottedIPv4(host))
        return std::nullopt;
    if (httpsEnabled != 0)
        return "https://" + host;
    // As "%u" shows the panel's number: a negative one wraps.
    return "http://" + host + ":" + std::to_string(static_cast<std::uint32_t>(webPort));
}
