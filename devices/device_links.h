// The device's web page address, and the export line of a list row.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "discovery_data.h"

// True for a dotted IPv4 address and nothing else: four decimal parts of 0 to
// 255, without blanks, signs or leading zeros (a browser may read "010" as
// octal, and so open another host than the one shown).
bool IsDottedIPv4(std::string_view text);

// "https://IP" when the chosen device's HTTPS byte (as the panel holds it) is
// set, else "http://IP:PORT" with the panel's web port as an unsigned number.
// None when the record's IP text is not a dotted IPv4 address: it goes on
// the browser's command line.
std::optional<std::string> DeviceWebAddress(const DISCOVERY_DATA& record, int httpsEnabled, long webPort);

// One line of "SearchIPList.txt": "[product] MAC<TAB>IP" and CR LF. A line
// feed inside a text is written as CR LF too; one that follows a CR already
// is left alone.
std::string ExportLine(const std::string& productName, const std::string& macAddress, const std::string& ipAddress);
