#include "probe/probe_operands.h"

#include <algorithm>

#include "io/safe_text.h"
#include "ipv4_text.h"
#include "subnet.h"

namespace {

constexpr char kForms[] =
    "give dotted addresses (198.51.100.10), ranges FIRST-LAST (198.51.100.10-198.51.100.40) or networks "
    "ADDRESS/PREFIX (198.51.100.0/24)";

std::string Quoted(const std::string& text)
{
    return "\"" + ShortText(text) + "\"";
}

bool Refuse(std::string& error, const std::string& text)
{
    error = text;
    return false;
}

// first to last, both included, each a host address.
bool AddSpan(const std::string& operand, std::uint32_t first, std::uint32_t last, std::vector<std::uint32_t>& addresses,
             std::string& error)
{
    const std::uint64_t count = std::uint64_t{last} - first + 1;
    if (addresses.size() + count > kMostProbedAddresses)
        return Refuse(error, Quoted(operand) + " makes " + std::to_string(addresses.size() + count) +
                                 " addresses; a probe takes at most " + std::to_string(kMostProbedAddresses));
    for (std::uint64_t address = first; address <= last; ++address) {
        if (!IsHostAddress(static_cast<std::uint32_t>(address)))
            return Refuse(error, Quoted(operand) + " holds " + FormatIPv4(static_cast<std::uint32_t>(address)) +
                                     ", which no host can have (0.0.0.0/8, 127.0.0.0/8, 224.0.0.0 and above)");
    }
    for (std::uint64_t address = first; address <= last; ++address)
        addresses.push_back(static_cast<std::uint32_t>(address));
    return true;
}

}  // namespace

bool AddProbeOperand(const std::string& operand, std::vector<std::uint32_t>& addresses, std::string& error)
{
    const std::size_t dash = operand.find('-');
    const std::size_t slash = operand.find('/');
    if (dash != std::string::npos && slash == std::string::npos) {
        const auto first = ParseIPv4(operand.substr(0, dash));
        const auto last = ParseIPv4(operand.substr(dash + 1));
        if (!first || !last)
            return Refuse(error, Quoted(operand) + " is not a range of addresses: " + kForms);
        if (*last < *first)
            return Refuse(error, Quoted(operand) + " ends before it starts: give the lower address first");
        return AddSpan(operand, *first, *last, addresses, error);
    }
    if (slash != std::string::npos && dash == std::string::npos) {
        const auto network = ParseIPv4(operand.substr(0, slash));
        const std::string prefixText = operand.substr(slash + 1);
        const bool digits =
            !prefixText.empty() && prefixText.size() <= 2 &&
            std::all_of(prefixText.begin(), prefixText.end(), [](char c) { return c >= '0' && c <= '9'; });
        const int prefix = digits ? std::stoi(prefixText) : -1;
        if (!network || prefix < 0 || prefix > 32)
            return Refuse(error, Quoted(operand) + " is not a network: " + kForms + ", the prefix from 0 to 32");
        const Subnet subnet(*network, prefix);
        if (*network != subnet.Network())
            return Refuse(error, Quoted(operand) + " is not a network's first address: did you mean " +
                                     FormatIPv4(subnet.Network()) + "/" + prefixText + "?");
        return AddSpan(operand, subnet.FirstHost(), subnet.LastHost(), addresses, error);
    }
    const auto address = ParseIPv4(operand);
    if (!address)
        return Refuse(error, Quoted(operand) + " is not an address: " + kForms);
    return AddSpan(operand, *address, *address, addresses, error);
}
