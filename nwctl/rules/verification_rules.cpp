#include "rules/verification_rules.h"

#include "io/counted.h"
#include "ipv4_text.h"

std::optional<std::vector<MacAddress>> OthersOnAddress(const MacAddress& mac, const std::vector<MacAddress>* probed,
                                                       const std::set<MacAddress>* searched)
{
    std::set<MacAddress> others;
    if (probed)
        others.insert(probed->begin(), probed->end());
    if (searched)
        others.insert(searched->begin(), searched->end());
    others.erase(mac);
    if (!probed && others.empty())
        return std::nullopt;
    return std::vector<MacAddress>(others.begin(), others.end());
}

bool Verified(const DeviceAfter& after)
{
    return after.answered && after.left.empty() && !(after.inUseBy && !after.inUseBy->empty());
}

bool Probed(const DeviceAfter& after)
{
    return after.probed;
}

std::string VerificationText(const DeviceAfter& after)
{
    if (Verified(after))
        return Probed(after) ? "verified" : "verified, address not probed";
    std::string why = after.answered ? "" : "it did not answer the search once";
    if (!after.left.empty())
        why = "it shows " + DescribeChanges(after.left);
    if (after.inUseBy && !after.inUseBy->empty())
        why +=
            (why.empty() ? "" : "; ") + FormatIPv4(*after.shown) + " is in use by " + MacList(*after.inUseBy) + " too";
    return "NOT verified: " + why;
}

std::string ApplySummary(std::size_t verified, std::size_t notProbed, std::size_t total, const std::string& auditPath)
{
    std::string text = std::to_string(verified) + " of " + Counted(total, "device") + " applied and verified";
    if (notProbed > 0)
        text += ", " + std::to_string(notProbed) + " of them at " + (notProbed == 1 ? "an address" : "addresses") +
                " that could not be probed";
    return text + "; audit log " + auditPath;
}
