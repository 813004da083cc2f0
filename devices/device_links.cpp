#include "device_links.h"

#include "text_field.h"

namespace {

// A line feed not already led by a carriage return gets one.
std::string WithCrLf(const std::string& text)
{
    std::string written;
    written.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            written += '\r';
        written += text[i];
    }
    return written;
}

bool IsAddressPart(std::string_view part)
{
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
        return false;
    int value = 0;
    for (const char c : part) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value <= 255;
}

}  // namespace

bool IsDottedIPv4(std::string_view text)
{
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.');
        const bool last = part == 3;
        if (last != (dot == std::string_view::npos))
            return false;
        if (!IsAddressPart(text.substr(0, dot)))
            return false;
        text = last ? std::string_view() : text.substr(dot + 1);
    }
    return true;
}

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

std::string ExportLine(const std::string& productName, const std::string& macAddress, const std::string& ipAddress)
{
    std::string line = "[";
    line += WithCrLf(productName);
    line += "] ";
    line += WithCrLf(macAddress);
    line += '\t';
    line += WithCrLf(ipAddress);
    line += "\r\n";
    return line;
}
