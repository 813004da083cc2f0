#include "assign_rule.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "csv.h"
#include "ipv4.h"
#include "mac.h"
#include "text_field.h"

namespace {

bool HoldsIgnoringCase(const std::string& text, const std::string& part)
{
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&lower](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace

bool AssignAddresses(const std::vector<FoundDevice>& found, const AssignRequest& request, std::string& plan,
                     std::string& error)
{
    std::set<MacAddress> chosen;
    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        if (mac && HoldsIgnoringCase(ReadTextField(device.record.productName), request.product))
            chosen.insert(*mac);
    }
    std::set<std::uint32_t> taken;
    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress));
        if (ip && !(mac && chosen.count(*mac)))
            taken.insert(*ip);
    }
    // The gateway and DNS server each device will have.
    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        if (!mac || !chosen.count(*mac))
            continue;
        const auto gateway = request.gateway ? request.gateway : ParseIPv4(ReadTextField(device.record.gateway));
        const auto dns = request.dns ? request.dns : ParseIPv4(ReadTextField(device.record.dns));
        for (const auto& address : {gateway, dns}) {
            if (address)
                taken.insert(*address);
        }
    }
    if (request.gateway)
        taken.insert(*request.gateway);
    if (request.dns)
        taken.insert(*request.dns);

    const std::uint32_t mask = request.mask.value_or(0);
    const std::uint32_t subnet = request.first & mask;
    const bool hostsOnly = request.mask && MaskPrefix(mask).value_or(32) <= 30;
    const auto inSubnet = [&](std::uint64_t next) {
        return next <= 0xFFFFFFFEu && (!request.mask || (static_cast<std::uint32_t>(next) & mask) == subnet);
    };
    const auto usable = [&](std::uint64_t next) {
        const auto address = static_cast<std::uint32_t>(next);
        const std::uint32_t host = address & ~mask;
        return !taken.count(address) && !(hostsOnly && (host == 0 || host == ~mask));
    };
    const auto text = [](const std::optional<std::uint32_t>& address) {
        return address ? FormatIPv4(*address) : std::string();
    };

    plan = CsvLine({"mac", "ip", "mask", "gateway", "dns"});
    std::uint64_t next = request.first;
    std::size_t placed = 0;
    for (const MacAddress& mac : chosen) {
        while (inSubnet(next) && !usable(next))
            ++next;
        if (!inSubnet(next)) {
            error = "only " + std::to_string(placed) + " of the " + std::to_string(chosen.size()) +
                    " devices find a free address from " + FormatIPv4(request.first) +
                    (request.mask ? " in its subnet" : "");
            return false;
        }
        plan += CsvLine({FormatMac(mac), FormatIPv4(static_cast<std::uint32_t>(next)), text(request.mask),
                         text(request.gateway), text(request.dns)});
        ++next;
        ++placed;
    }
    return true;
}
