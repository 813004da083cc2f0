// The baseline: the plan and inventory checks as they were before the found
// devices were indexed by MAC. Each plan row, inventory line and dry-run
// step walked every found device and read its MAC text again, so that the
// work grew with lines times devices. Kept only to be measured against.
// Beside the record and the text helpers (MAC, IPv4, safe text), what it
// read of the rules is copied here as it was.
#include "rules_before.h"

#include <algorithm>
#include <map>
#include <set>

#include "device/mac.h"
#include "device_rows.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "text_field.h"

namespace before {

namespace {

// In the order of kSettingNames.
enum class Setting {
    Ip,
    Mask,
    Gateway,
    Dns,
    Mode,
    WebPort,
    ControlPort,
    VideoPort,
    AudioTransmitPort,
    AudioReceivePort
};
constexpr Setting SettingAt(std::size_t index)
{
    return static_cast<Setting>(index);
}

std::string CurrentSetting(const DISCOVERY_DATA& record, Setting setting)
{
    switch (setting) {
        case Setting::Ip:
            return ReadTextField(record.ipAddress);
        case Setting::Mask:
            return ReadTextField(record.subnetMask);
        case Setting::Gateway:
            return ReadTextField(record.gateway);
        case Setting::Dns:
            return ReadTextField(record.dns);
        case Setting::Mode:
            return record.dhcp == 0 ? "static" : record.dhcp == 1 ? "dhcp" : std::to_string(record.dhcp);
        case Setting::WebPort:
            return std::to_string(record.webPort);
        case Setting::ControlPort:
            return std::to_string(record.controlPort);
        case Setting::VideoPort:
            return std::to_string(record.videoPort);
        case Setting::AudioTransmitPort:
            return std::to_string(record.audioTransmitPort);
        case Setting::AudioReceivePort:
            return std::to_string(record.audioReceivePort);
    }
    return {};
}

std::string EffectiveSetting(const DISCOVERY_DATA& record, const SettingsChange& change, Setting setting)
{
    const auto& value = change[static_cast<std::size_t>(setting)];
    return value ? *value : CurrentSetting(record, setting);
}

struct SettingDifference {
    Setting setting;
    std::string from, to;
};

std::vector<SettingDifference> ChangedSettings(const DISCOVERY_DATA& record, const SettingsChange& change)
{
    std::vector<SettingDifference> changes;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const std::string current = CurrentSetting(record, SettingAt(i));
        if (change[i] && *change[i] != current)
            changes.push_back({SettingAt(i), current, *change[i]});
    }
    return changes;
}

std::optional<int> MaskPrefix(std::uint32_t mask)
{
    int prefix = 0;
    while (prefix < 32 && (mask & (0x80000000u >> prefix)))
        ++prefix;
    const std::uint32_t contiguous = prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix);
    if (mask != contiguous)
        return std::nullopt;
    return prefix;
}

std::string Source(const PlanRow& row, Setting setting)
{
    return row.change[static_cast<std::size_t>(setting)] ? "" : " (the device's own)";
}

struct Addresses {
    std::optional<std::uint32_t> ip, mask, gateway, dns;
};

std::vector<const DISCOVERY_DATA*> WalkForMac(const std::vector<DISCOVERY_DATA>& found, const Mac& mac)
{
    std::vector<const DISCOVERY_DATA*> devices;
    for (const DISCOVERY_DATA& device : found) {
        const auto deviceMac = ParseMac(ReadTextField(device.macAddress));
        if (deviceMac && *deviceMac == mac)
            devices.push_back(&device);
    }
    return devices;
}

}  // namespace

std::vector<PlanProblem> FindPlanProblems(const std::vector<PlanRow>& plan, const std::vector<DISCOVERY_DATA>& found)
{
    std::vector<PlanProblem> problems;
    std::map<Mac, int> firstLine;
    // The planned static addresses, and the line of the first device on each.
    std::map<std::uint32_t, std::pair<int, Mac>> plannedAddress;

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

        const std::vector<const DISCOVERY_DATA*> devices = WalkForMac(found, row.mac);
        if (devices.empty()) {
            problem("not found by the search");
            continue;
        }
        if (devices.size() > 1) {
            std::string addresses;
            for (const DISCOVERY_DATA* device : devices)
                addresses += (addresses.empty() ? "" : ", ") + SafeText(ReadTextField(device->ipAddress));
            problem("answered from " + std::to_string(devices.size()) + " addresses (" + addresses +
                    "); it cannot be told which one is meant");
            continue;
        }
        const DISCOVERY_DATA& record = *devices.front();

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

    for (const DISCOVERY_DATA& device : found) {
        const auto mac = ParseMac(ReadTextField(device.macAddress));
        if (mac && firstLine.count(*mac))
            continue;
        const auto ip = ParseIPv4(ReadTextField(device.ipAddress));
        if (!ip)
            continue;
        if (const auto planned = plannedAddress.find(*ip); planned != plannedAddress.end())
            problems.push_back({planned->second.first,
                                FormatMac(planned->second.second) + ": ip " + FormatIPv4(*ip) + " is already used by " +
                                    SafeText(ReadTextField(device.macAddress)) + ", which is not in the plan"});
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const PlanProblem& a, const PlanProblem& b) { return a.line < b.line; });
    return problems;
}

std::vector<InventoryFinding> CompareInventory(const std::vector<ExpectedDevice>& expected,
                                               const std::vector<DISCOVERY_DATA>& found,
                                               std::optional<std::int32_t> minFirmwareDate)
{
    std::vector<InventoryFinding> findings;
    std::set<Mac> known;
    for (const ExpectedDevice& device : expected) {
        known.insert(device.mac);
        const std::string mac = FormatMac(device.mac);
        const std::string ip = device.ip ? FormatIPv4(*device.ip) : std::string();
        const std::vector<const DISCOVERY_DATA*> answers = WalkForMac(found, device.mac);
        if (answers.empty()) {
            findings.push_back({"missing", mac, ip, "not found by the search"});
            continue;
        }
        if (!device.ip)
            continue;
        std::string seen;
        bool there = false;
        for (const DISCOVERY_DATA* answer : answers) {
            const std::string at = ReadTextField(answer->ipAddress);
            there = there || at == ip;
            seen += (seen.empty() ? "" : " ") + at;
        }
        if (!there)
            findings.push_back({"wrong-address", mac, seen, "expected at " + ip});
    }

    std::map<std::string, std::vector<std::string>> macsAt;
    for (const DISCOVERY_DATA& device : found) {
        const std::string mac = ReadTextField(device.macAddress);
        const std::string ip = ReadTextField(device.ipAddress);
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
        for (const DISCOVERY_DATA& device : found) {
            const std::int32_t date = FirmwareDate(device);
            if (date < *minFirmwareDate)
                findings.push_back({"old-firmware", ReadTextField(device.macAddress), ReadTextField(device.ipAddress),
                                    "firmware " + ReadTextField(device.firmwareVersion) + " dates " +
                                        std::to_string(date) + ", before " + std::to_string(*minFirmwareDate)});
        }
    }
    return findings;
}

std::size_t DryRunSteps(const std::vector<PlanRow>& rows, const std::vector<DISCOVERY_DATA>& found)
{
    std::size_t steps = 0;
    std::map<Mac, bool> seen;
    for (const PlanRow& row : rows) {
        const std::vector<const DISCOVERY_DATA*> devices = WalkForMac(found, row.mac);
        if (devices.size() != 1 || seen[row.mac])
            continue;
        seen[row.mac] = true;
        steps += !ChangedSettings(*devices.front(), row.change).empty();
    }
    return steps;
}

}  // namespace before
