#include "rules/unprobed_rules.h"

#include <algorithm>

#include "ipv4_text.h"
#include "rules/resolution_rules.h"

std::vector<std::uint32_t> UnprobedAddresses(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found,
                                             const AddressUse& use)
{
    std::vector<std::uint32_t> addresses;
    for (const std::uint32_t address : NewAddresses(plan, found)) {
        if (use.WhyNotProbed(address))
            addresses.push_back(address);
    }
    std::sort(addresses.begin(), addresses.end());
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

std::string UnprobedAdvice(std::size_t count)
{
    if (count == 0)
        return "";
    return ". To take " + (count == 1 ? std::string("the address") : "the " + std::to_string(count) + " addresses") +
           " that could not be probed as free, give --unprobed-ok";
}

std::string TakenAsFreeText(const std::vector<std::uint32_t>& addresses)
{
    if (addresses.empty())
        return "";
    return std::string("--unprobed-ok: taken as free, though ") + (addresses.size() == 1 ? "it" : "they") +
           " could not be probed: " + AddressesText(addresses);
}

std::string NothingToReportBut(const AddressUse& use)
{
    return "nothing to report, but " + NotProbedByReason(use) +
           ": another host on one of these addresses would not show";
}
