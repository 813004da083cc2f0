#include "sim_device.h"

#include <cstdio>
#include <cstring>

#include "record_fields.h"

namespace {

std::string Dotted(std::uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFFu, (address >> 16) & 0xFFu,
                  (address >> 8) & 0xFFu, address & 0xFFu);
    return text;
}

}  // namespace

SimDevice MakePatternedDevice(std::size_t index)
{
    SimDevice device;
    DISCOVERY_DATA& r = device.record;
    std::memset(&r, 0, sizeof r);

    const auto serial = static_cast<std::uint32_t>(index + 1);
    char text[32];
    std::snprintf(text, sizeof text, "00:1A:2B:%02X:%02X:%02X", (serial >> 16) & 0xFFu, (serial >> 8) & 0xFFu,
                  serial & 0xFFu);
    FillText(r.macAddress, text);
    std::snprintf(text, sizeof text, "SimCam-%04u", serial);
    FillText(r.productName, text);
    FillText(r.manufacturer, "Nodewright Lab");
    std::snprintf(text, sizeof text, "cam-%04u", serial);
    FillText(r.deviceName, text);
    FillText(r.firmwareVersion, "1.4.2_20240115");

    constexpr std::uint32_t firstAddress = (198u << 24) | (51u << 16) | (100u << 8) | 100u;
    FillText(r.ipAddress, Dotted(firstAddress + static_cast<std::uint32_t>(index)));
    FillText(r.subnetMask, "255.255.255.0");
    FillText(r.gateway, "198.51.100.254");
    FillText(r.dns, "198.51.100.253");
    r.dhcp = 0;
    r.webPort = 80;
    r.controlPort = 30001;
    r.videoPort = 30002;
    r.audioReceivePort = 30003;
    r.audioTransmitPort = 30004;
    r.httpsEnabled = 0;
    r.result = DISCOVERY_RESULT_OK;
    return device;
}

bool CheckTimeline(const DeviceBehaviour& b, std::string& error)
{
    // `later` needs `earlier`, and must come after it.
    const auto follows = [&error](const std::optional<double>& later, const char* laterName,
                                  const std::optional<double>& earlier, const char* earlierName, bool needed) {
        if (!later || (!earlier && !needed))
            return true;
        if (!earlier)
            error = std::string(laterName) + " needs " + earlierName + " before it";
        else if (*later <= *earlier)
            error = std::string(laterName) + " must be later than " + earlierName;
        else
            return true;
        return false;
    };
    if (b.moveAt.has_value() != b.moveTo.has_value()) {
        error = "moveAt and moveTo go together";
        return false;
    }
    return follows(b.leaveAt, "leaveAt", b.appearAt, "appearAt", false) &&
           follows(b.rejoinAt, "rejoinAt", b.leaveAt, "leaveAt", true) &&
           follows(b.moveBackAt, "moveBackAt", b.moveAt, "moveAt", true);
}
