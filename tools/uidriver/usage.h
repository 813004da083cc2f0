// The driver's usage text (uidriver.exe --help).
#pragma once

#include <string>

std::string UsageText();
