#include "rules/resolution_rules.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "io/counted.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "subnet.h"
#include "text_join.h"

namespace {

// SendARP's results (winerror.h), named here so that the rule builds and
// is tested everywhere.
constexpr std::uint32_t kNoError = 0;
constexpr std::uint32_t kGenFailure = 31;    // no reply, on older Windows
constexpr std::uint32_t kBadNetName = 67;    // no reply
constexpr std::uint32_t kNotSupported = 50;  // Wine's SendARP is a stub that returns it

// Addresses shown in a message before "and N more".
constexpr std::size_t kShownAddresses = 8;

constexpr char kOneMac[] = "it keeps one MAC per address, so two hosts on one address show as one of them";

}  // namespace

const Adapter* OnLinkAdapter(const std::vector<Adapter>& adapters, std::uint32_t address)
{
    // The system does not ask the LAN for its own addresses.
    if (AdapterWithAddress(adapters, address))
        return nullptr;
    for (const Adapter& adapter : adapters) {
        const std::optional<Subnet> subnet = Subnet::WithMask(adapter.address, adapter.mask);
        if (subnet && subnet->IsHost(address))
            return &adapter;
    }
    return nullptr;
}

Resolution SendArpResolution(std::uint32_t code, std::uint32_t macLength)
{
    if (code == kNoError)
        return macLength == 6 ? Resolution::Answered : Resolution::CouldNotProbe;
    if (code == kBadNetName || code == kGenFailure)
        return Resolution::NoAnswer;
    if (code == kNotSupported)
        return Resolution::NotAvailable;
    return Resolution::CouldNotProbe;
}

std::string SendArpWhy(std::uint32_t code, std::uint32_t macLength)
{
    switch (SendArpResolution(code, macLength)) {
        case Resolution::Answered:
        case Resolution::NoAnswer:
            return "";
        case Resolution::NotAvailable:
            return "SendARP is not available on this system, as under Wine";
        case Resolution::CouldNotProbe:
            break;
    }
    return code == kNoError ? "SendARP gave a hardware address of " + std::to_string(macLength) + " bytes, not a MAC"
                            : "SendARP failed with error " + std::to_string(code);
}

std::string NotProbedText(const std::vector<NotProbedPart>& parts)
{
    std::string text;
    for (const NotProbedPart& part : parts) {
        if (part.addresses.empty())
            continue;
        std::vector<std::uint32_t> sorted = part.addresses;
        std::sort(sorted.begin(), sorted.end());
        sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
        text += text.empty() ? "" : "; ";
        text += Counted(sorted.size(), "address", "addresses") + " could not be probed (" + part.why +
                "): " + AddressesText(sorted);
    }
    return text;
}

std::string NotProbedByReason(const AddressUse& use)
{
    std::vector<NotProbedPart> parts;
    for (const auto& [address, why] : use.NotProbedWhy()) {
        const auto part =
            std::find_if(parts.begin(), parts.end(), [&why = why](const NotProbedPart& p) { return p.why == why; });
        if (part == parts.end())
            parts.push_back({{address}, why});
        else
            part->addresses.push_back(address);
    }
    return NotProbedText(parts);
}

std::string AddressesText(const std::vector<std::uint32_t>& addresses)
{
    std::string text;
    for (std::size_t i = 0; i < addresses.size() && i < kShownAddresses; ++i)
        text += (i ? ", " : "") + FormatIPv4(addresses[i]);
    if (addresses.size() > kShownAddresses)
        text += " and " + std::to_string(addresses.size() - kShownAddresses) + " more";
    return text;
}

std::string SubnetsText(const std::vector<Adapter>& adapters)
{
    if (adapters.empty())
        return "no adapter";
    return JoinTexts(adapters, ", ", [](const Adapter& adapter) {
        const auto prefix = MaskPrefix(adapter.mask);
        return SafeText(adapter.name) + " " + FormatIPv4(adapter.address) + "/" +
               (prefix ? std::to_string(*prefix) : FormatIPv4(adapter.mask));
    });
}

std::string OffSubnetWhy(const std::vector<Adapter>& adapters)
{
    return "on no subnet of " + SubnetsText(adapters);
}

std::string NotOnLinkWhy(const std::vector<Adapter>& adapters)
{
    return "not on-link from any adapter of this computer: " + SubnetsText(adapters);
}

std::string NoRawRightLimit(const std::vector<std::uint32_t>& offLink, const std::vector<Adapter>& adapters)
{
    std::string text = NotProbedText({{offLink, OffSubnetWhy(adapters)}});
    text += text.empty() ? "" : ". ";
    text +=
        "Without the raw packet right nwctl asks the system's own address resolution, which reaches only "
        "addresses on an adapter's subnet; ";
    text += kOneMac;
    text +=
        ". To probe every address and hear every MAC, run nwctl as root or grant it the right with: sudo setcap "
        "cap_net_raw+ep $(command -v nwctl)";
    return text;
}

std::string WindowsLimit(const AddressUse& use)
{
    std::string text = NotProbedByReason(use);
    text += text.empty() ? "" : ". ";
    text += "nwctl asks Windows' own address resolution: ";
    text += kOneMac;
    return text;
}

ResolutionTargets ResolutionTargetsOf(const std::vector<Adapter>& adapters, const std::vector<std::uint32_t>& addresses,
                                      const std::map<std::uint32_t, MacAddress>& own, AddressUse& use)
{
    ResolutionTargets targets;
    std::copy_if(adapters.begin(), adapters.end(), std::back_inserter(targets.lan),
                 [](const Adapter& adapter) { return !adapter.loopback; });
    for (const std::uint32_t address : std::set<std::uint32_t>(addresses.begin(), addresses.end())) {
        const auto ownMac = own.find(address);
        if (ownMac != own.end())
            use.Probed(address, {ownMac->second});
        else if (const Adapter* adapter = OnLinkAdapter(targets.lan, address))
            targets.onLink.push_back({address, adapter->address});
        else
            targets.offLink.push_back(address);
    }
    return targets;
}
