// Key names accepted by the key command.
#pragma once

#include <windows.h>

#include <string>

// The virtual key of a name ("Enter", "Tab", "F5", "a", "vk=0x70"); names
// are not case-sensitive. Throws UsageError for an unknown name.
UINT VirtualKeyOf(const std::string& name);
// The accepted names, for the usage text.
std::string KeyNamesText();
