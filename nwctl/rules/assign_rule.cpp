#include "rules/assign_rule.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "device/mac.h"
#include "device/setting_changes.h"
#include "io/counted.h"
#include "io/csv.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "subnet.h"
#include "text_field.h"

namespace {

bool HoldsIgnoringCase(const std::string& text, const std::string& part)
{
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&lower](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

void Set(PlanRow& row, Setting setting, const std::string& value)
{
    row.change[static_cast<std::size_t>(setting)] = value;
}

}  // namespace

AssignOutcome AssignAddresses(const std::vector<FoundDevice>& found, const AssignRequest& request,
                              const std::vector<Adapter>& ownAdapters, const AddressUse& use, Assignment& assignment,
                              std::string& error)
{
    assignment = Assignment{};
    if (!IsHostAddress(request.first)) {
        error = FormatIPv4(request.first) +
                " cannot be a device's address: give a first address outside 0.0.0.0/8, 127.0.0.0/8 and "
                "224.0.0.0 and above";
        return AssignOutcome::BadRequest;
    }
    if (request.mask) {
        const std::optional<Subnet> subnet = DeviceSubnet(request.first, *request.mask);
        if (!subnet) {
            error = "--mask " + FormatIPv4(*request.mask) + kNotADeviceMask;
            return AssignOutcome::BadRequest;
        }
        if (request.gateway && !subnet->TakesGateway(*request.gateway)) {
            error =
                "--gateway " + FormatIPv4(*request.gateway) + OutsideSubnetText(*subnet) + FormatIPv4(request.first);
            return AssignOutcome::BadRequest;
        }
    }
    // The chosen devices in MAC order, each with the first of its records.
    std::map<MacAddress, const FoundDevice*> chosen;
    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        if (mac && HoldsIgnoringCase(ReadTextField(device.record.productName), request.product))
            chosen.emplace(*mac, &device);
    }
    if (chosen.empty()) {
        error = found.empty() ? "no device answered the search, so there is nothing to plan"
                              : "none of the " + Counted(found.size(), "device") +
                                    " that answered has a product name holding \"" + ShortText(request.product) + "\"";
        return AssignOutcome::NoDevice;
    }

    std::set<std::uint32_t> taken;
    for (const Adapter& adapter : ownAdapters)
        taken.insert(adapter.address);
    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress));
        if (ip && !(mac && chosen.count(*mac)))
            taken.insert(*ip);
    }
    // The gateway and DNS server each device will have.
    for (const auto& [mac, device] : chosen) {
        const auto gateway = request.gateway ? request.gateway : ParseIPv4(ReadTextField(device->record.gateway));
        const auto dns = request.dns ? request.dns : ParseIPv4(ReadTextField(device->record.dns));
        for (const auto& address : {gateway, dns}) {
            if (address)
                taken.insert(*address);
        }
    }

    // The hosts other than the chosen devices that answer for `address`.
    const auto inUse = [&](std::uint32_t address) {
        std::vector<MacAddress> others;
        if (const std::vector<MacAddress>* answers = use.Answers(address)) {
            for (const MacAddress& mac : *answers) {
                if (!chosen.count(mac))
                    others.push_back(mac);
            }
        }
        return others;
    };

    std::uint64_t next = request.first;
    int line = 2;
    for (const auto& [mac, device] : chosen) {
        // The subnet this device will be on; a mask that is none leaves the
        // range open, and the plan's check names the mask.
        const std::uint32_t mask =
            request.mask.value_or(ParseIPv4(ReadTextField(device->record.subnetMask)).value_or(0));
        const std::optional<Subnet> subnet = DeviceSubnet(request.first, mask);
        const std::optional<std::uint32_t> given = NextFreeAddress(next, subnet, taken, inUse, assignment.skipped);
        if (!given) {
            error = "only " + std::to_string(assignment.rows.size()) + " of the " + std::to_string(chosen.size()) +
                    " devices find a free address from " + FormatIPv4(request.first) +
                    (subnet ? " in its subnet /" + std::to_string(subnet->Prefix()) : std::string());
            return AssignOutcome::OutOfAddresses;
        }
        next = *given;
        PlanRow row{line++, mac, {}};
        Set(row, Setting::Ip, FormatIPv4(*given));
        for (const auto& [setting, address] :
             {std::pair{Setting::Mask, request.mask}, std::pair{Setting::Gateway, request.gateway},
              std::pair{Setting::Dns, request.dns}}) {
            if (address)
                Set(row, setting, FormatIPv4(*address));
        }
        if (device->record.dhcp != 0) {
            Set(row, Setting::Mode, "static");
            assignment.notes.push_back(FormatMac(mac) + " is in " + ModeText(device->record.dhcp) +
                                       " mode now: the plan makes it static");
        }
        assignment.rows.push_back(std::move(row));
        ++next;
    }
    return AssignOutcome::Assigned;
}

std::optional<std::uint32_t> NextFreeAddress(std::uint64_t from, const std::optional<Subnet>& subnet,
                                             const std::set<std::uint32_t>& taken,
                                             const std::function<std::vector<MacAddress>(std::uint32_t)>& inUse,
                                             std::vector<std::string>& skipped)
{
    const auto inRange = [&](std::uint64_t address) {
        return address <= 0xFFFFFFFFu && (!subnet || subnet->Contains(static_cast<std::uint32_t>(address))) &&
               IsHostAddress(static_cast<std::uint32_t>(address));
    };
    const auto usable = [&](std::uint32_t address) {
        if (taken.count(address) || (subnet && !subnet->IsHost(address)))
            return false;
        const std::vector<MacAddress> others = inUse(address);
        if (!others.empty())
            skipped.push_back("skipped " + FormatIPv4(address) + ": in use by " + MacList(others));
        return others.empty();
    };
    for (std::uint64_t address = from; inRange(address); ++address) {
        if (usable(static_cast<std::uint32_t>(address)))
            return static_cast<std::uint32_t>(address);
    }
    return std::nullopt;
}

std::string AssignmentCsv(const std::vector<PlanRow>& rows)
{
    const Setting columns[] = {Setting::Ip, Setting::Mask, Setting::Gateway, Setting::Dns, Setting::Mode};
    std::vector<std::string> header{"mac"};
    for (const Setting setting : columns)
        header.push_back(kSettingNames[static_cast<std::size_t>(setting)]);
    std::string csv = CsvLine(header);
    for (const PlanRow& row : rows) {
        std::vector<std::string> fields{FormatMac(row.mac)};
        for (const Setting setting : columns)
            fields.push_back(row.change[static_cast<std::size_t>(setting)].value_or(""));
        csv += CsvLine(fields);
    }
    return csv;
}
