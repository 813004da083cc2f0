#include "config_judge.h"

#include <cstring>
#include <iterator>

#include "md5.h"
#include "record_fields.h"
#include "text_field.h"

namespace {

// The device keeps the text, not whatever followed its NUL in the request.
template <std::size_t N>
void CopyText(char (&to)[N], const char (&from)[N])
{
    FillText(to, ReadTextField(from));
}

}  // namespace

bool FirmwareAcceptsDottedIPv4(std::string_view text)
{
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::string_view part = text.substr(start, dot == std::string_view::npos ? text.npos : dot - start);
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part.front() == '0'))
            return false;
        int value = 0;
        for (char c : part) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        if (value > 255)
            return false;
        ++parts;
        if (dot == std::string_view::npos)
            return parts == 4;
        if (parts == 4)
            return false;
        start = dot + 1;
    }
}

bool CredentialsMatch(const DISCOVERY_DATA& request, const std::string& userId, const std::string& password)
{
    DISCOVERY_DATA expected;
    SetPasswordDigest(expected, password);
    return ReadTextField(request.userId) == userId &&
           std::memcmp(request.passwordDigest, expected.passwordDigest, sizeof expected.passwordDigest) == 0;
}

std::uint32_t JudgeSettings(const DISCOVERY_DATA& request)
{
    const std::string ip = ReadTextField(request.ipAddress);
    if (!FirmwareAcceptsDottedIPv4(ip) || ip == "0.0.0.0" || ip == "255.255.255.255" ||
        !FirmwareAcceptsDottedIPv4(ReadTextField(request.subnetMask)) ||
        !FirmwareAcceptsDottedIPv4(ReadTextField(request.gateway)) ||
        !FirmwareAcceptsDottedIPv4(ReadTextField(request.dns)))
        return DISCOVERY_RESULT_INVALID_ADDRESS;

    const std::uint16_t ports[] = {request.webPort, request.controlPort, request.videoPort, request.audioReceivePort,
                                   request.audioTransmitPort};
    for (std::size_t i = 0; i < std::size(ports); ++i) {
        if (ports[i] == 0)
            return DISCOVERY_RESULT_INVALID_PORT;
        for (std::size_t j = i + 1; j < std::size(ports); ++j) {
            if (ports[i] == ports[j])
                return DISCOVERY_RESULT_INVALID_PORT;
        }
    }
    if (request.dhcp != 0 && request.dhcp != 1)
        return DISCOVERY_RESULT_INVALID_CONFIG;
    return DISCOVERY_RESULT_OK;
}

void TakeSettings(DISCOVERY_DATA& device, const DISCOVERY_DATA& request)
{
    device.dhcp = request.dhcp;
    CopyText(device.ipAddress, request.ipAddress);
    CopyText(device.subnetMask, request.subnetMask);
    CopyText(device.gateway, request.gateway);
    CopyText(device.dns, request.dns);
    device.webPort = request.webPort;
    device.controlPort = request.controlPort;
    device.videoPort = request.videoPort;
    device.audioReceivePort = request.audioReceivePort;
    device.audioTransmitPort = request.audioTransmitPort;
    device.httpsEnabled = request.httpsEnabled;
}
