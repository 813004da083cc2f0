// Who answers for addresses on the LAN, as a probe found it: all that nwctl
// knows of hosts that do not answer its search (a PC, a printer, another
// maker's camera), for the rules that hand out and check addresses.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/mac.h"

class AddressUse {
public:
    // What the probe of `address` heard: every MAC that answered for it, in
    // any order and repeated as heard; none when nobody answered.
    void Probed(std::uint32_t address, std::vector<MacAddress> macs);
    // An address this computer could not probe (no right to, or not on a
    // LAN it can reach without one), and why, as "could not be probed
    // (WHY)" says it.
    void NotProbed(std::uint32_t address, std::string why);

    // The MACs that answered for `address`, ascending and each once (empty
    // when it is free); null when it was not probed.
    const std::vector<MacAddress>* Answers(std::uint32_t address) const;
    // True when `address` was probed and some MAC other than `mac`
    // answered for it.
    bool UsedByOther(std::uint32_t address, const MacAddress& mac) const;
    // True when the probe has said anything of `address`: probed or not.
    bool Knows(std::uint32_t address) const;
    // Why `address` could not be probed; null when it was probed or not
    // asked about.
    const std::string* WhyNotProbed(std::uint32_t address) const;

    const std::map<std::uint32_t, std::vector<MacAddress>>& ProbedAddresses() const { return probed_; }
    // Ascending, each once.
    const std::vector<std::uint32_t>& NotProbedAddresses() const { return notProbed_; }
    // Each address not probed with why.
    const std::map<std::uint32_t, std::string>& NotProbedWhy() const { return why_; }

    // Why some addresses could not be probed and how to give nwctl what it
    // lacks, said once; empty when every address was probed.
    std::string limit;

private:
    std::map<std::uint32_t, std::vector<MacAddress>> probed_;
    std::vector<std::uint32_t> notProbed_;
    std::map<std::uint32_t, std::string> why_;
};
