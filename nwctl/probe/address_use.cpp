#include "probe/address_use.h"

#include <algorithm>
#include <utility>

void AddressUse::Probed(std::uint32_t address, std::vector<MacAddress> macs)
{
    std::vector<MacAddress>& answers = probed_[address];
    answers.insert(answers.end(), macs.begin(), macs.end());
    std::sort(answers.begin(), answers.end());
    answers.erase(std::unique(answers.begin(), answers.end()), answers.end());
}

void AddressUse::NotProbed(std::uint32_t address, std::string why)
{
    const auto at = std::lower_bound(notProbed_.begin(), notProbed_.end(), address);
    if (at == notProbed_.end() || *at != address)
        notProbed_.insert(at, address);
    why_[address] = std::move(why);
}

const std::vector<MacAddress>* AddressUse::Answers(std::uint32_t address) const
{
    const auto found = probed_.find(address);
    return found == probed_.end() ? nullptr : &found->second;
}

bool AddressUse::Knows(std::uint32_t address) const
{
    return Answers(address) || std::binary_search(notProbed_.begin(), notProbed_.end(), address);
}

const std::string* AddressUse::WhyNotProbed(std::uint32_t address) const
{
    const auto found = why_.find(address);
    return found == why_.end() ? nullptr : &found->second;
}

bool AddressUse::UsedByOther(std::uint32_t address, const MacAddress& mac) const
{
    const std::vector<MacAddress>* answers = Answers(address);
    return answers && std::any_of(answers->begin(), answers->end(), [&](const MacAddress& m) { return m != mac; });
}
