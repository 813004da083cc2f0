// The MAC of one of this computer's interfaces (Linux), which needs no
// privilege to read: the sender of the probe's ARP frames.
#pragma once

#include <string>

#include "device/mac.h"

// False with `error` when the interface has gone or has no MAC.
bool InterfaceMac(unsigned index, MacAddress& mac, std::string& error);
