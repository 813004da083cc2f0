// The addresses `nwctl probe` is given: dotted addresses, ranges FIRST-LAST
// and networks ADDRESS/PREFIX (without their network and broadcast
// addresses), each expanded into the addresses it names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// At most this many addresses in one probe: a /16's worth, a few minutes
// of probing; more is a typing error.
constexpr std::size_t kMostProbedAddresses = 65536;

// Appends the addresses `operand` names to `addresses`; false with `error`
// for anything else, for an address no host can have (0.0.0.0/8,
// loopback, multicast and above), and when `addresses` would hold more
// than kMostProbedAddresses.
bool AddProbeOperand(const std::string& operand, std::vector<std::uint32_t>& addresses, std::string& error);
