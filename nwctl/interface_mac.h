// The MAC of one of this computer's interfaces (Linux), which needs no
// privilege: the probe's sender, and the holder of this computer's own
// addresses.
#pragma once

#include <string>

#include "mac.h"

// False with `error` when the interface has gone or has no MAC.
bool InterfaceMac(unsigned index, MacAddress& mac, std::string& error);
