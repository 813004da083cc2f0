#include "device_links.h"

#include "text_field.h"

std::string DeviceWebAddress(const DISCOVERY_DATA& record, int httpsEnabled, long webPort)
{
    const std::string host = ReadTextField(record.ipAddress);
    if (httpsEnabled != 0)
        return "https://" + host;
    // As "%u" shows the panel's number: a negative one wraps.
    return "http://" + host + ":" + std::to_string(static_cast<std::uint32_t>(webPort));
}

std::string ExportLine(const std::string& productName, const std::string& macAddress, const std::string& ipAddress)
{
    return "[" + productName + "] " + macAddress + "\t" + ipAddress + "\r\n";
}
