#include "device_commands.h"

#include <algorithm>

#include "md5.h"
#include "text_field.h"

namespace {

void Stamp(DISCOVERY_DATA& record, std::uint32_t command, std::string_view userId, std::string_view password)
{
    record.command = command;
    WriteTextField(record.userId, userId);
    SetPasswordDigest(record, password);
}

bool EmptyWithoutSpaces(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

}  // namespace

PanelSettings PanelFromRecord(const DISCOVERY_DATA& record)
{
    return PanelSettings{
        record.dhcp == 0 || record.dhcp == 1 ? static_cast<int>(record.dhcp) : -1,
        ReadTextField(record.ipAddress),
        ReadTextField(record.subnetMask),
        ReadTextField(record.gateway),
        ReadTextField(record.dns),
        record.webPort,
        record.controlPort,
        record.videoPort,
        record.audioTransmitPort,
        record.audioReceivePort,
        record.httpsEnabled,
    };
}

bool CredentialsMissing(std::string_view userId, std::string_view password)
{
    return EmptyWithoutSpaces(userId) || EmptyWithoutSpaces(password);
}

DISCOVERY_DATA BuildSaveRecord(const DISCOVERY_DATA& stored, const PanelSettings& panel, std::string_view userId,
                               std::string_view password)
{
    DISCOVERY_DATA record = stored;
    Stamp(record, DISCOVERY_CMD_SET_CONFIG, userId, password);
    record.dhcp = AddressModeFromPanel(panel.addressMode);
    WriteTextField(record.dns, panel.dns);
    WriteTextField(record.gateway, panel.gateway);
    WriteTextField(record.subnetMask, panel.subnetMask);
    record.webPort = PortFromPanel(panel.webPort);
    record.controlPort = PortFromPanel(panel.controlPort);
    record.videoPort = PortFromPanel(panel.videoPort);
    record.audioTransmitPort = PortFromPanel(panel.audioTransmitPort);
    record.audioReceivePort = PortFromPanel(panel.audioReceivePort);
    record.httpsEnabled = HttpsFromPanel(panel.httpsEnabled);
    WriteTextField(record.ipAddress, panel.ipAddress);
    return record;
}

DISCOVERY_DATA BuildBatchRecord(const DISCOVERY_DATA& stored, std::uint32_t command, std::string_view userId,
                                std::string_view password)
{
    DISCOVERY_DATA record = stored;
    Stamp(record, command, userId, password);
    return record;
}

std::string BatchConfirmationHeader(std::uint32_t command)
{
    return command == DISCOVERY_CMD_REBOOT ? "Check the IP and MAC on \"Reboot\"\n\n"
                                           : "Check the IP and MAC on \"Factory Reset\"\n\n";
}

std::string BatchConfirmationLine(const DISCOVERY_DATA& record)
{
    return "IP : " + ReadTextField(record.ipAddress) + " / MAC : " + ReadTextField(record.macAddress) + "\n";
}

bool BatchConfirmed(int answer)
{
    return answer == CONFIRMATION_YES;
}

std::string BatchOutcomeText(int unsent, int ticked)
{
    if (unsent == 0)
        return "Apply";
    return "Failed. " + std::to_string(unsent) + " of " + std::to_string(ticked) + " commands could not be sent.";
}
