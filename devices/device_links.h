// The device's web page address, and the export line of a list row.
#pragma once

#include <string>

#include "discovery_data.h"

// "https://IP" when the chosen device's HTTPS byte (as the panel holds it) is
// set, else "http://IP:PORT" with the panel's web port as an unsigned number.
std::string DeviceWebAddress(const DISCOVERY_DATA& record, int httpsEnabled, long webPort);

// One line of "SearchIPList.txt": "[product] MAC<TAB>IP" and CR LF.
std::string ExportLine(const std::string& productName, const std::string& macAddress, const std::string& ipAddress);
