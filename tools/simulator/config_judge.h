// How a simulated device judges a configuration request, as a device's
// firmware would before taking on new settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "discovery_data.h"

// Whether the firmware takes `text` as an address: four decimal numbers from
// 0 to 255 joined by dots, nothing else: no blanks, no sign, no leading zero
// (inet_aton would read "010" as octal). The simulator plays a device, whose
// firmware is not this program: it judges with a rule of its own, so a change
// to the program's reading of addresses (ipv4_text.h) cannot also change
// what the devices it is tested against accept.
bool FirmwareAcceptsDottedIPv4(std::string_view text);

// The request's `userId` text equals `userId`, and its 32 digest bytes equal
// those the program forms from `password`.
bool CredentialsMatch(const DISCOVERY_DATA& request, const std::string& userId, const std::string& password);

// The verdict on a request's settings, first failing rule first:
//   DISCOVERY_RESULT_INVALID_ADDRESS  ipAddress, subnetMask, gateway or dns is
//                                     not dotted IPv4, or ipAddress is
//                                     0.0.0.0 or 255.255.255.255
//   DISCOVERY_RESULT_INVALID_PORT     one of the five ports is 0, or two are equal
//   DISCOVERY_RESULT_INVALID_CONFIG   dhcp is neither 0 nor 1
//   DISCOVERY_RESULT_OK               otherwise
std::uint32_t JudgeSettings(const DISCOVERY_DATA& request);

// Takes on the settings of an accepted request: dhcp, the four addresses (as
// texts), the five ports and the HTTPS byte.
void TakeSettings(DISCOVERY_DATA& device, const DISCOVERY_DATA& request);
