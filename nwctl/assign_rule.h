// Writing a plan: the found devices get consecutive addresses, in MAC order,
// around the addresses that other devices already use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "found_devices.h"

struct AssignRequest {
    std::uint32_t first;
    std::optional<std::uint32_t> mask;  // also keeps the addresses inside first's subnet
    std::optional<std::uint32_t> gateway;
    std::optional<std::uint32_t> dns;
    std::string product;  // only devices whose product name holds it (any case); empty: all
};

// The plan as CSV (mac, ip, mask, gateway, dns; blank where not given), one
// row per MAC of the chosen devices. Skipped: every address a found device
// outside the plan uses, the gateways and DNS servers the devices will have
// (the request's, else their own), and with a mask its subnet's network and
// broadcast addresses. False with `error` when the
// addresses run out.
bool AssignAddresses(const std::vector<FoundDevice>& found, const AssignRequest& request, std::string& plan,
                     std::string& error);
