#include "rules/inventory_rules.h"

#include <algorithm>
#include <map>
#include <set>

#include "device_rows.h"
#include "io/csv_table.h"
#include "io/json.h"
#include "io/safe_text.h"
#include "io/table.h"
#include "ipv4_text.h"
#include "rules/plan_rules.h"
#include "text_field.h"

bool ReadInventory(std::string_view text, std::vector<ExpectedDevice>& expected, std::vector<std::string>& errors)
{
    CsvTable table;
    if (!ReadCsvTable(text, "mac", table, errors))
        return false;
    const std::size_t macColumn = *table.Column("mac");
    const auto ipColumn = table.Column("ip");
    std::map<MacAddress, int> lines;
    expected.clear();
    for (const CsvRecord& record : table.rows) {
        const std::string macText = CsvTable::Cell(record, macColumn);
        const std::string ipText = ipColumn ? CsvTable::Cell(record, *ipColumn) : std::string();
        if (macText.empty() && ipText.empty())
            continue;
        const std::string line = "line " + std::to_string(record.line) + ": ";
        ExpectedDevice device{{}, std::nullopt};
        const auto mac = ParseMac(macText);
        if (!mac) {
            errors.push_back(line + "mac " + NotAMac(macText));
            continue;
        }
        device.mac = *mac;
        if (const auto [first, added] = lines.emplace(*mac, record.line); !added)
            errors.push_back(line + FormatMac(*mac) + " is listed on line " + std::to_string(first->second) +
                             " already");
        if (!ipText.empty()) {
            device.ip = ParseIPv4(ipText);
            if (!device.ip)
                errors.push_back(line + "ip \"" + ShortText(ipText) + "\" is not a dotted IPv4 address");
        }
        expected.push_back(device);
    }
    return errors.empty();
}

std::vector<InventoryFinding> CompareInventory(const std::vector<ExpectedDevice>& expected,
                                               const std::vector<FoundDevice>& found,
                                               const std::vector<Adapter>& ownAdapters, const AddressUse& use,
                                               std::optional<std::int32_t> minFirmwareDate)
{
    std::vector<InventoryFinding> findings;
    const DevicesByMac byMac(found);
    std::set<MacAddress> known;
    for (const ExpectedDevice& device : expected) {
        known.insert(device.mac);
        const std::string mac = FormatMac(device.mac);
        const std::string ip = device.ip ? FormatIPv4(*device.ip) : std::string();
        const std::vector<const FoundDevice*>& answers = byMac.With(device.mac);
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
    std::map<MacAddress, std::set<std::string>> addressesOf;
    for (const FoundDevice& device : found) {
        const std::string mac = ReadTextField(device.record.macAddress);
        const std::string ip = ReadTextField(device.record.ipAddress);
        const auto parsed = ParseMac(mac);
        if (!parsed || !known.count(*parsed))
            findings.push_back({"unexpected", mac, ip, "not in the inventory"});
        if (parsed)
            addressesOf[*parsed].insert(ip);
        if (!ip.empty())
            macsAt[ip].push_back(mac);
    }
    for (const auto& [ip, macs] : macsAt) {
        const std::set<std::string> distinct(macs.begin(), macs.end());
        const auto address = ParseIPv4(ip);
        const Adapter* own = address ? AdapterWithAddress(ownAdapters, *address) : nullptr;
        if (distinct.size() < 2 && !own)
            continue;
        std::string list;
        for (const std::string& mac : distinct)
            list += (list.empty() ? "" : " ") + mac;
        findings.push_back({"conflict", list, ip,
                            own ? "this computer's own address (adapter " + own->name + ")"
                                : std::to_string(distinct.size()) + " devices answer from one address"});
    }
    for (const auto& [address, macs] : use.ProbedAddresses()) {
        if (macs.size() < 2)
            continue;
        std::string list;
        for (const MacAddress& mac : macs)
            list += (list.empty() ? "" : " ") + FormatMac(mac);
        findings.push_back({"ip-conflict", list, FormatIPv4(address),
                            std::to_string(macs.size()) + " MACs answer for it: " + MacList(macs)});
    }
    for (const auto& [mac, addresses] : addressesOf) {
        if (addresses.size() < 2)
            continue;
        std::string list;
        for (const std::string& ip : addresses)
            list += (list.empty() ? "" : " ") + ip;
        findings.push_back({"duplicate-mac", FormatMac(mac), list,
                            "answers from " + std::to_string(addresses.size()) +
                                " addresses: two devices share the MAC, or one has two"});
    }
    if (minFirmwareDate) {
        for (const FoundDevice& device : found) {
            const std::int32_t date = FirmwareDate(device.record);
            const std::string firmware = ReadTextField(device.record.firmwareVersion);
            if (date < *minFirmwareDate)
                findings.push_back({"old-firmware", ReadTextField(device.record.macAddress),
                                    ReadTextField(device.record.ipAddress),
                                    "firmware " + firmware +
                                        (date > 0 ? " dates " + std::to_string(date) + ", before "
                                                  : " has no date, so it counts as before ") +
                                        std::to_string(*minFirmwareDate)});
        }
    }
    return findings;
}

std::vector<std::uint32_t> InventoryAddresses(const std::vector<ExpectedDevice>& expected,
                                              const std::vector<FoundDevice>& found)
{
    std::set<std::uint32_t> addresses;
    for (const ExpectedDevice& device : expected) {
        if (device.ip)
            addresses.insert(*device.ip);
    }
    for (const FoundDevice& device : found) {
        if (const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress)))
            addresses.insert(*ip);
    }
    return {addresses.begin(), addresses.end()};
}

std::vector<FindingLine> FindingLines(const std::vector<InventoryFinding>& findings)
{
    std::map<std::string, std::size_t> perKind;
    for (const InventoryFinding& finding : findings)
        ++perKind[finding.kind];
    const auto grouped = [&perKind](const std::string& kind) {
        return kind != "conflict" && kind != "ip-conflict" && perKind[kind] > kGroupedAbove;
    };
    std::vector<FindingLine> lines, groups;
    for (const InventoryFinding& finding : findings) {
        if (!grouped(finding.kind)) {
            lines.push_back({{finding}});
            continue;
        }
        const auto group = std::find_if(groups.begin(), groups.end(), [&finding](const FindingLine& line) {
            return line.findings.front().kind == finding.kind;
        });
        if (group == groups.end())
            groups.push_back({{finding}});
        else
            group->findings.push_back(finding);
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const FindingLine& a, const FindingLine& b) { return a.findings.size() < b.findings.size(); });
    lines.insert(lines.end(), groups.begin(), groups.end());
    return lines;
}

std::array<std::string, 4> FindingLineCells(const FindingLine& line)
{
    const InventoryFinding& first = line.findings.front();
    if (line.findings.size() == 1)
        return {first.kind, first.mac, first.ip, first.detail};
    // The MACs a line names before "and N more".
    constexpr std::size_t kNamed = 3;
    const bool shared = std::all_of(line.findings.begin(), line.findings.end(),
                                    [&first](const InventoryFinding& f) { return f.detail == first.detail; });
    std::string detail = first.detail + (shared ? "" : ", and others alike") + ": ";
    for (std::size_t i = 0; i < line.findings.size() && i < kNamed; ++i)
        detail += (i == 0 ? "" : ", ") + line.findings[i].mac;
    if (line.findings.size() > kNamed)
        detail += " and " + std::to_string(line.findings.size() - kNamed) + " more";
    return {first.kind, std::to_string(line.findings.size()) + " devices", "", detail};
}

std::string FormatFindings(const std::vector<InventoryFinding>& findings, OutputFormat format)
{
    if (format == OutputFormat::Json) {
        std::vector<std::string> objects;
        for (const InventoryFinding& finding : findings)
            objects.push_back(JsonObject({{"kind", JsonString(finding.kind)},
                                          {"mac", JsonString(finding.mac)},
                                          {"ip", JsonString(finding.ip)},
                                          {"detail", JsonString(finding.detail)}}));
        return JsonArray(objects) + '\n';
    }
    std::vector<std::vector<std::string>> rows;
    for (const FindingLine& line : FindingLines(findings)) {
        std::vector<std::string> row;
        for (const std::string& cell : FindingLineCells(line))
            row.push_back(SafeText(cell));
        rows.push_back(std::move(row));
    }
    return FormatTable({"kind", "mac", "ip", "detail"}, rows);
}
