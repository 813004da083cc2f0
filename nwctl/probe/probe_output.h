// What `nwctl probe` prints: for each address, who answers for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "device/device_output.h"
#include "probe/address_use.h"

struct ProbeCounts {
    std::size_t used = 0;      // one MAC answered
    std::size_t conflict = 0;  // two or more MACs answered
    std::size_t free = 0;      // nobody answered
    std::size_t notProbed = 0;
};

ProbeCounts CountProbe(const AddressUse& use);

// Every address of `use` in ascending order with its state (used,
// conflict, free or not-probed) and the MACs that answered: a table, CSV
// (MACs joined by blanks) or JSON (an array of them); the table for any
// other format. Where `own` (this computer's addresses with their
// adapters' MACs) holds the address, that MAC shows as "this computer" in
// the table; CSV and JSON keep it among the MACs and name it once more as
// this_computer (a blank cell, null, for other addresses).
std::string FormatProbe(const AddressUse& use, const std::map<std::uint32_t, MacAddress>& own, OutputFormat format);

// "254 addresses: 63 used, 1 conflict, 190 free, 0 not probed".
std::string ProbeSummary(const ProbeCounts& counts);
