// Who answers for which address, as the tests write it:
// Use({{"192.0.2.20", {"02:00:5e:10:00:07"}}, {"192.0.2.21", {}}}) has one
// host on 192.0.2.20 and 192.0.2.21 probed and free.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "device/mac.h"
#include "ipv4_text.h"
#include "probe/address_use.h"

inline AddressUse Use(std::initializer_list<std::pair<const char*, std::vector<const char*>>> answers,
                      std::initializer_list<const char*> notProbed = {})
{
    AddressUse use;
    for (const auto& [address, macs] : answers) {
        std::vector<MacAddress> parsed;
        for (const char* mac : macs)
            parsed.push_back(*ParseMac(mac));
        use.Probed(*ParseIPv4(address), parsed);
    }
    for (const char* address : notProbed)
        use.NotProbed(*ParseIPv4(address), "not reached");
    return use;
}
