// The baseline: the plan and inventory checks as they were before the found
// devices were indexed by MAC. Each plan row, inventory line and dry-run
// step walked every found device and read its MAC text again, so that the
// work grew with lines times devices. Kept only to be measured against.
#include "rules_before.h"

#include <algorithm>
#include <map>
#include <set>

#include "device/ipv4.h"
#include "device/setting_changes.h"
#include "device_rows.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "text_field.h"

namespace before {

namespace {

std::string Source(const PlanRow& row, Setting setting)
{
    return row.change[static_cast<std::size_t>(setting)] ? "" : " (the device's own)";
}

struct Addresses {
    std::optional<std::uint32_t> ip, mask, gateway, dns;
};

std::vector<const FoundDevice*> WalkForMac(const std::vector<FoundDevice>& found, const MacAddress& mac)
{
    std::vector<const FoundDevice*> devices;
    for (const FoundDevice& device : found) {
        const auto deviceMac = ParseMac(ReadTextField(device.record.macAddress));
        if (deviceMac && *deviceMac == mac)
            devices.push_back(&device);
    }
    return devices;
}

}  // namespace

std::vector<PlanProblem> FindPlanProblems(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found)
{
    std::vector<PlanProblem> problems;
    std::map<MacAddress, int> firstLine;
    // The planned static addresses, and the line of the first device on each.
    std::map<std::uint32_t, std::pair<int, MacAddress>> plannedAddress;

    for (const PlanRow& row : plan) {
        const std::string mac = FormatMac(row.mac);
        const auto problem = [&problems, &row, &mac](const std::string& text) {
            problems.push_back({row.line, mac + ": " + text});
        };
        if (const auto first = firstLine.find(row.mac); first != firstLine.end()) {
            problem("planned twice: also on line " + std::to_string(first->second));
            continue;
        }
        firstLine.emplace(row.mac, row.line);

        const std::vector<const FoundDevice*> devices = WalkForMac(found, row.mac);
        if (devices.empty()) {
            problem("not found by the search");
            continue;
        }
        if (devices.size() > 1) {
            std::string addresses;
            for (const FoundDevice* device : devices)
                addresses += (addresses.empty() ? "" : ", ") + SafeText(ReadTextField(device->record.ipAddress));
            problem("answered from " + std::to_string(devices.size()) + " addresses (" + addresses +
                    "); it cannot be told which one is meant");
            continue;
        }
        const DISCOVERY_DATA& record = devices.front()->record;

        const std::string mode = EffectiveSetting(record, row.change, Setting::Mode);
        if (mode != "static" && mode != "dhcp")
            problem("its address mode " + mode + " is neither static nor dhcp; plan a mode for it");

        Addresses addresses;
        std::optional<std::uint32_t>* slots[] = {&addresses.ip, &addresses.mask, &addresses.gateway, &addresses.dns};
        bool valid = true;
        for (std::size_t i = 0; i < 4; ++i) {
            const Setting setting = SettingAt(i);
            const std::string text = EffectiveSetting(record, row.change, setting);
            *slots[i] = ParseIPv4(text);
            if (!*slots[i]) {
                problem(std::string(kSettingNames[i]) + " \"" + SafeText(text) + "\"" + Source(row, setting) +
                        " is not a dotted IPv4 address");
                valid = false;
            }
        }
        if (!valid || mode != "static")
            continue;

        const std::uint32_t ip = *addresses.ip;
        const std::string ipText = FormatIPv4(ip) + Source(row, Setting::Ip);
        const auto prefix = MaskPrefix(*addresses.mask);
        if (ip == 0 || ip == 0xFFFFFFFFu || ip >> 24 == 127 || ip >> 28 >= 0xE) {
            problem("ip " + ipText + " cannot be a device's address");
            continue;
        }
        if (!prefix || *prefix == 0 || *prefix > 30) {
            problem("mask " + FormatIPv4(*addresses.mask) + Source(row, Setting::Mask) +
                    " is not a subnet mask of 1 to 30 bits");
            continue;
        }
        const std::uint32_t mask = *addresses.mask;
        if ((ip & ~mask) == 0 || (ip & ~mask) == ~mask)
            problem("ip " + ipText + " is the " + ((ip & ~mask) == 0 ? "network" : "broadcast") +
                    " address of its subnet /" + std::to_string(*prefix));
        const std::uint32_t gateway = *addresses.gateway;
        if (gateway == ip)
            problem("gateway " + FormatIPv4(gateway) + " is the device's own address");
        else if (gateway != 0 && (gateway & mask) != (ip & mask))
            problem("gateway " + FormatIPv4(gateway) + Source(row, Setting::Gateway) + " is outside the subnet " +
                    FormatIPv4(ip & mask) + "/" + std::to_string(*prefix) + " of ip " + ipText);

        if (const auto other = plannedAddress.find(ip); other != plannedAddress.end())
            problem("ip " + ipText + " is planned for " + FormatMac(other->second.second) + " on line " +
                    std::to_string(other->second.first) + " too");
        else
            plannedAddress.emplace(ip, std::make_pair(row.line, row.mac));
    }

    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        if (mac && firstLine.count(*mac))
            continue;
        const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress));
        if (!ip)
            continue;
        if (const auto planned = plannedAddress.find(*ip); planned != plannedAddress.end())
            problems.push_back({planned->second.first,
                                FormatMac(planned->second.second) + ": ip " + FormatIPv4(*ip) + " is already used by " +
                                    SafeText(ReadTextField(device.record.macAddress)) + ", which is not in the plan"});
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const PlanProblem& a, const PlanProblem& b) { return a.line < b.line; });
    return problems;
}

std::vector<InventoryFinding> CompareInventory(const std::vector<ExpectedDevice>& expected,
                                               const std::vector<FoundDevice>& found,
                                               std::optional<std::int32_t> minFirmwareDate)
{
    std::vector<InventoryFinding> findings;
    std::set<MacAddress> known;
    for (const ExpectedDevice& device : expected) {
        known.insert(device.mac);
        const std::string mac = FormatMac(device.mac);
        const std::string ip = device.ip ? FormatIPv4(*device.ip) : std::string();
        const std::vector<const FoundDevice*> answers = WalkForMac(found, device.mac);
        if (answers.empty()) {
            findings.push_back({"missing", mac, ip, "not found by the search"});
            continue;
        }
        if (!device.ip)
            continue;
        std::string seen;
        bool there = false;
        for (const FoundDevice* answer : answers) {
            const std::string at = ReadTextField(answer->record.ipAddress);
            there = there || at == ip;
            seen += (seen.empty() ? "" : " ") + at;
        }
        if (!there)
            findings.push_back({"wrong-address", mac, seen, "expected at " + ip});
    }

    std::map<std::string, std::vector<std::string>> macsAt;
    for (const FoundDevice& device : found) {
        const std::string mac = ReadTextField(device.record.macAddress);
        const std::string ip = ReadTextField(device.record.ipAddress);
        const auto parsed = ParseMac(mac);
        if (!parsed || !known.count(*parsed))
            findings.push_back({"unexpected", mac, ip, "not in the inventory"});
        if (!ip.empty())
            macsAt[ip].push_back(mac);
    }
    for (const auto& [ip, macs] : macsAt) {
        const std::set<std::string> distinct(macs.begin(), macs.end());
        if (distinct.size() < 2)
            continue;
        std::string list;
        for (const std::string& mac : distinct)
            list += (list.empty() ? "" : " ") + mac;
        findings.push_back(
            {"conflict", list, ip, std::to_string(distinct.size()) + " devices answer from one address"});
    }
    if (minFirmwareDate) {
        for (const FoundDevice& device : found) {
            const std::int32_t date = FirmwareDate(device.record);
            if (date < *minFirmwareDate)
                findings.push_back({"old-firmware", ReadTextField(device.record.macAddress),
                                    ReadTextField(device.record.ipAddress),
                                    "firmware " + ReadTextField(device.record.firmwareVersion) + " dates " +
                                        std::to_string(date) + ", before " + std::to_string(*minFirmwareDate)});
        }
    }
    return findings;
}

std::size_t DryRunSteps(const std::vector<PlanRow>& rows, const std::vector<FoundDevice>& found)
{
    std::size_t steps = 0;
    std::map<MacAddress, bool> seen;
    for (const PlanRow& row : rows) {
        const std::vector<const FoundDevice*> devices = WalkForMac(found, row.mac);
        if (devices.size() != 1 || seen[row.mac])
            continue;
        seen[row.mac] = true;
        steps += !ChangedSettings(devices.front()->record, row.change).empty();
    }
    return steps;
}

}  // namespace before
