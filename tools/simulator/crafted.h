// The datagram that `nwsim send` puts together: a record with chosen fields,
// or raw bytes, cut or padded to any length.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "discovery_data.h"

struct CraftedDatagram {
    DISCOVERY_DATA record{};  // starts as a zero search reply
    std::optional<std::string> raw;
    std::optional<std::size_t> size;
    unsigned char pad = 0;

    CraftedDatagram() { record.command = DISCOVERY_CMD_SEARCH_REPLY; }

    // The raw bytes if given, else the record's 371; then cut to `size` or
    // padded up to it with `pad`.
    std::string Bytes() const;
};
