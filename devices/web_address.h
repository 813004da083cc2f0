// The address a double click hands to the browser for the chosen device.
#pragma once

#include <optional>
#include <string>

#include "discovery_data.h"

// "https://IP" when the chosen device's HTTPS byte (as the panel holds it) is
// set, else "http://IP:PORT" with the panel's web port as an unsigned number.
// None when the record's IP text is not a dotted IPv4 address (IsDottedIPv4):
// it goes on the browser's command line.
std::optional<std::string> DeviceWebAddress(const DISCOVERY_DATA& record, int httpsEnabled, long webPort);
