// One line of the list export, "SearchIPList.txt".
#pragma once

#include <string>

// "[product] MAC<TAB>IP" and CR LF. A line feed inside a text is written as
// CR LF too; one that follows a CR already is left alone.
std::string ExportLine(const std::string& productName, const std::string& macAddress, const std::string& ipAddress);
