// The probe without raw packets: the system's own address resolution (the
// kernel's neighbour table on Linux, SendARP on Windows). It reaches only
// addresses on an adapter's own subnet and keeps one MAC per address, so
// what it cannot see has to be said: which addresses were not probed, why,
// and what would probe them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/mac.h"
#include "probe/address_use.h"
#include "rules/adapter_choice.h"

// The first of `adapters` whose subnet holds `address`, or null; null too
// for an address of one of them, and for a subnet's network and broadcast
// addresses.
const Adapter* OnLinkAdapter(const std::vector<Adapter>& adapters, std::uint32_t address);

// An address the system's resolution is asked for, and the address of the
// adapter whose subnet holds it (the one to ask from).
struct OnLinkAddress {
    std::uint32_t address;
    std::uint32_t from;
};

struct ResolutionTargets {
    std::vector<Adapter> lan;            // the adapters but the loopback one
    std::vector<OnLinkAddress> onLink;   // ascending, each once
    std::vector<std::uint32_t> offLink;  // on no adapter's subnet: not probed
};

// Sorts `addresses` for the system's resolution from `adapters`. This
// computer's own addresses (`own`, with their adapter's MAC) are recorded
// in `use` at once: the system does not ask for them, and they are taken.
ResolutionTargets ResolutionTargetsOf(const std::vector<Adapter>& adapters, const std::vector<std::uint32_t>& addresses,
                                      const std::map<std::uint32_t, MacAddress>& own, AddressUse& use);

enum class Resolution {
    Answered,       // a MAC came back
    NoAnswer,       // the system asked and nobody answered
    NotAvailable,   // the system has no SendARP to ask with (Wine's is a stub)
    CouldNotProbe,  // the system could not ask (a fault)
};

// What a SendARP result code means, with the length of the MAC it gave.
// Only the codes of "asked, no reply" are NoAnswer; anything unknown is
// CouldNotProbe, never free.
Resolution SendArpResolution(std::uint32_t code, std::uint32_t macLength);

// Why an address with that result could not be probed, as "could not be
// probed (WHY)" says it; empty for Answered and NoAnswer.
std::string SendArpWhy(std::uint32_t code, std::uint32_t macLength);

// Addresses that were not probed, for one reason.
struct NotProbedPart {
    std::vector<std::uint32_t> addresses;
    std::string why;  // in "N addresses could not be probed (WHY): ..."
};

// "N addresses could not be probed (WHY): A, B, ... and K more; ..." for
// the parts with addresses; empty when none has any.
std::string NotProbedText(const std::vector<NotProbedPart>& parts);

// The same for the addresses `use` could not probe, by its reasons, in the
// order of each reason's lowest address.
std::string NotProbedByReason(const AddressUse& use);

// "A, B, ... and K more": addresses in the order given.
std::string AddressesText(const std::vector<std::uint32_t>& addresses);

// "lan0 198.51.100.1/24, lan1 ...": the subnets the system's resolution
// reaches from `adapters`.
std::string SubnetsText(const std::vector<Adapter>& adapters);

// Why an address on no subnet of `adapters` was not probed: on Linux,
// where the raw packet right would reach it, and on Windows, which never
// resolves it.
std::string OffSubnetWhy(const std::vector<Adapter>& adapters);
std::string NotOnLinkWhy(const std::vector<Adapter>& adapters);

// use.limit on Linux without the raw packet right: which addresses were
// off every adapter's subnet, that a conflict shows as one MAC, and how to
// grant the right.
std::string NoRawRightLimit(const std::vector<std::uint32_t>& offLink, const std::vector<Adapter>& adapters);

// use.limit on Windows: the addresses that could not be probed, by `use`'s
// reasons, and that a conflict shows as one MAC.
std::string WindowsLimit(const AddressUse& use);
