// The MACs of this computer's interfaces (Linux), which need no privilege
// to read: the probe's sender, and the holder of this computer's own
// addresses, which no probe of the LAN hears about.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "mac.h"

// False with `error` when the interface has gone or has no MAC.
bool InterfaceMac(unsigned index, MacAddress& mac, std::string& error);

// Every address of this computer's adapters that are up, but the loopback
// one, with the MAC of its interface; those whose MAC cannot be read are
// left out.
std::map<std::uint32_t, MacAddress> OwnAddressMacs();
