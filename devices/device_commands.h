// The records that Save, Reboot and Factory Reset send, and the texts around
// them.
#pragma once

#include <string>
#include <string_view>

#include "discovery_data.h"

// What the settings panel holds when a command is built.
struct PanelSettings {
    int addressMode;  // 0 STATIC, 1 DHCP, -1 neither button checked
    std::string ipAddress;
    std::string subnetMask;
    std::string gateway;
    std::string dns;
    long webPort;
    long controlPort;
    long videoPort;
    long audioTransmitPort;
    long audioReceivePort;
    int httpsEnabled;
};

// The credentials typed for a command, as their boxes give them.
struct CommandCredentials {
    std::string userId;
    std::string password;
};

// What the settings panel holds after a click on the device's row: its
// texts and ports, and its address mode as the radio buttons take it (a
// mode other than 0 or 1 checks neither: -1).
PanelSettings PanelFromRecord(const DISCOVERY_DATA& record);

// True when the User ID or the Password is empty once every space is taken
// out of it. (The records carry the texts as typed.)
bool CredentialsMissing(std::string_view userId, std::string_view password);

// The stored record with the command, the credentials and every setting of
// the panel written over it; what the panel does not hold stays as stored.
DISCOVERY_DATA BuildSaveRecord(const DISCOVERY_DATA& stored, const PanelSettings& panel, std::string_view userId,
                               std::string_view password);

// The stored record with only the command and the credentials written over
// it (reboot, factory reset).
DISCOVERY_DATA BuildBatchRecord(const DISCOVERY_DATA& stored, std::uint32_t command, std::string_view userId,
                                std::string_view password);

// The confirmation before a batch: its header, then one line per device.
std::string BatchConfirmationHeader(std::uint32_t command);
std::string BatchConfirmationLine(const DISCOVERY_DATA& record);

// The Yes button's answer (IDYES) of the Yes/No confirmation box.
constexpr int CONFIRMATION_YES = 6;

// Whether a batch goes out after the confirmation box gave `answer`: only
// on Yes. No stops it, and so does a box that could not be shown (0).
bool BatchConfirmed(int answer);

// What the operator is told once a batch has gone out: "Apply" when every
// record left, else how many of them could not be sent.
std::string BatchOutcomeText(int unsent, int ticked);
