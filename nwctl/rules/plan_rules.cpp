#include "rules/plan_rules.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "device/device_fields.h"
#include "device/setting_changes.h"
#include "device/setting_values.h"
#include "io/csv_table.h"
#include "io/name_suggestion.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "subnet.h"
#include "text_field.h"
#include "text_join.h"

namespace {

std::string Line(int line)
{
    return "line " + std::to_string(line) + ": ";
}

// What a problem says about a value: the plan's, or the device's own.
std::string Source(const PlanRow& row, Setting setting)
{
    return row.change[static_cast<std::size_t>(setting)] ? "" : " (the device's own)";
}

struct Addresses {
    std::optional<std::uint32_t> ip, mask, gateway, dns;
};

std::string AddressList(const std::vector<const FoundDevice*>& devices)
{
    return JoinTexts(devices, ", ",
                     [](const FoundDevice* device) { return SafeText(ReadTextField(device->record.ipAddress)); });
}

// The ports as the device judges a Save: each one 1 to 65535, no two the
// same. Checked on the values the device would have.
std::vector<std::string> PortProblems(const DISCOVERY_DATA& record, const PlanRow& row)
{
    std::vector<std::string> problems;
    std::vector<std::pair<Setting, std::string>> ports;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const Setting setting = SettingAt(i);
        if (!IsPortSetting(setting))
            continue;
        const std::string value = EffectiveSetting(record, row.change, setting);
        const char* name = kSettingNames[i];
        if (value == "0")
            problems.push_back(std::string(name) + " 0" + Source(row, setting) +
                               " is refused by the device: a port is 1 to 65535");
        for (const auto& [earlier, earlierValue] : ports) {
            if (earlierValue == value && value != "0") {
                problems.push_back(std::string(name) + " " + value + Source(row, setting) + " is " +
                                   kSettingNames[static_cast<std::size_t>(earlier)] + "'s too" + Source(row, earlier) +
                                   ": the device refuses two ports alike");
                break;
            }
        }
        ports.emplace_back(setting, value);
    }
    return problems;
}

// What a plan's header may name, for the message on a column it may not.
std::string KnownColumns()
{
    std::string settings, others;
    for (const char* name : kFieldNames) {
        if (SettingNamed(name))
            settings += std::string(" ") + name;
        else if (std::string_view(name) != "mac")
            others += std::string(others.empty() ? "" : " ") + name;
    }
    return "a plan's columns are mac and the settings:" + settings + " (a search's " + others +
           " are read and ignored)";
}

// Every column is one a search writes (the settings' are read, the others
// ignored), or nameless and blank, as a spreadsheet leaves one: a column
// misspelt would leave its setting unchanged without a word.
std::vector<std::string> UnknownColumns(const CsvTable& table)
{
    std::vector<bool> known(table.names.size());
    for (const char* name : kFieldNames) {
        if (const auto column = table.Column(name))
            known[*column] = true;
    }
    const std::vector<std::string> names(kFieldNames.begin(), kFieldNames.end());
    const std::string header = Line(table.headerLine);
    std::vector<std::string> errors;
    for (std::size_t column = 0; column < table.names.size(); ++column) {
        const std::string& name = table.names[column];
        if (known[column])
            continue;
        if (name.empty()) {
            const auto filled = std::find_if(table.rows.begin(), table.rows.end(), [column](const CsvRecord& row) {
                return !CsvTable::Cell(row, column).empty();
            });
            if (filled != table.rows.end())
                errors.push_back(header + "column " + std::to_string(column + 1) +
                                 " has no name in the header but holds values on line " + std::to_string(filled->line));
            continue;
        }
        const auto nearest = NearestName(name, names);
        errors.push_back(header + "column " + ShortText(name) + " is not one nwctl knows" +
                         (nearest ? ": did you mean " + *nearest + "?" : ""));
    }
    if (!errors.empty())
        errors.push_back(KnownColumns());
    return errors;
}

}  // namespace

bool ReadPlan(std::string_view text, std::vector<PlanRow>& rows, std::vector<std::string>& errors)
{
    CsvTable table;
    if (!ReadCsvTable(text, "mac", table, errors))
        return false;
    const std::vector<std::string> unknown = UnknownColumns(table);
    errors.insert(errors.end(), unknown.begin(), unknown.end());
    const std::size_t macColumn = *table.Column("mac");
    std::vector<std::pair<Setting, std::size_t>> columns;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        if (const auto column = table.Column(kSettingNames[i]))
            columns.emplace_back(SettingAt(i), *column);
    }
    // Faults are told in the order of the file's columns.
    std::sort(columns.begin(), columns.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    rows.clear();
    for (const CsvRecord& record : table.rows) {
        bool blank = true;
        for (std::size_t column = 0; column < record.fields.size(); ++column)
            blank = blank && CsvTable::Cell(record, column).empty();
        if (blank)
            continue;
        PlanRow row{record.line, {}, {}};
        const std::string macText = CsvTable::Cell(record, macColumn);
        if (const auto mac = ParseMac(macText)) {
            row.mac = *mac;
        } else {
            errors.push_back(Line(record.line) + "mac " + NotAMac(macText));
        }
        for (const auto& [setting, column] : columns) {
            const std::string cell = CsvTable::Cell(record, column);
            if (cell.empty())
                continue;
            std::string value, error;
            if (ParseSettingValue(setting, cell, value, error))
                row.change[static_cast<std::size_t>(setting)] = value;
            else
                errors.push_back(Line(record.line) + error + ", not \"" + ShortText(cell) + "\"");
        }
        rows.push_back(std::move(row));
    }
    return errors.empty();
}

std::vector<PlanProblem> FindPlanProblems(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found,
                                          const std::vector<Adapter>& ownAdapters, const AddressUse& use,
                                          bool unprobedOk)
{
    std::vector<PlanProblem> problems;
    const DevicesByMac byMac(found);
    std::map<MacAddress, int> firstLine;
    // The plan's devices that the search found.
    std::set<MacAddress> ours;
    // The planned static addresses, and the line of the first device on each.
    std::map<std::uint32_t, std::pair<int, MacAddress>> plannedAddress;
    // Those a device moves onto: it is not there now.
    std::set<std::uint32_t> moving;

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

        const std::vector<const FoundDevice*>& devices = byMac.With(row.mac);
        if (devices.empty()) {
            problem(std::string("not found by the search; ") + kMayBeRestarting);
            continue;
        }
        ours.insert(row.mac);
        if (devices.size() > 1) {
            problem("answered from " + std::to_string(devices.size()) + " addresses (" + AddressList(devices) +
                    "); it cannot be told which one is meant");
            continue;
        }
        const DISCOVERY_DATA& record = devices.front()->record;

        for (const std::string& text : PortProblems(record, row))
            problem(text);

        const std::string mode = EffectiveSetting(record, row.change, Setting::Mode);
        if (mode != "static" && mode != "dhcp")
            problem("its address mode " + mode +
                    " is neither static nor dhcp: give it one (with set, --static or --dhcp; in a plan, a mode "
                    "column)");

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
        if (ParseIPv4(CurrentSetting(record, Setting::Ip)) != ip)
            moving.insert(ip);
        const std::string ipText = FormatIPv4(ip) + Source(row, Setting::Ip);
        if (!IsHostAddress(ip)) {
            problem("ip " + ipText + " cannot be a device's address");
            continue;
        }
        const std::optional<Subnet> subnet = DeviceSubnet(ip, *addresses.mask);
        if (!subnet) {
            problem("mask " + FormatIPv4(*addresses.mask) + Source(row, Setting::Mask) + kNotADeviceMask);
            continue;
        }
        if (!subnet->IsHost(ip))
            problem("ip " + ipText + " is the " + (ip == subnet->Network() ? "network" : "broadcast") +
                    " address of its subnet /" + std::to_string(subnet->Prefix()));
        const std::uint32_t gateway = *addresses.gateway;
        if (gateway == ip)
            problem("gateway " + FormatIPv4(gateway) + " is the device's own address");
        else if (!subnet->TakesGateway(gateway))
            problem("gateway " + FormatIPv4(gateway) + Source(row, Setting::Gateway) + OutsideSubnetText(*subnet) +
                    "ip " + ipText);
        if (const Adapter* own = AdapterWithAddress(ownAdapters, ip))
            problem("ip " + ipText + " is this computer's own address (adapter " + SafeText(own->name) + ")");

        if (const auto other = plannedAddress.find(ip); other != plannedAddress.end())
            problem("ip " + ipText + " is planned for " + FormatMac(other->second.second) + " on line " +
                    std::to_string(other->second.first) + " too");
        else
            plannedAddress.emplace(ip, std::make_pair(row.line, row.mac));
    }

    // Devices outside the plan on planned addresses, as the search found them.
    std::set<std::pair<std::uint32_t, MacAddress>> named;
    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        if (mac && firstLine.count(*mac))
            continue;
        const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress));
        if (!ip)
            continue;
        if (const auto planned = plannedAddress.find(*ip); planned != plannedAddress.end()) {
            problems.push_back({planned->second.first,
                                FormatMac(planned->second.second) + ": ip " + FormatIPv4(*ip) + " is already used by " +
                                    SafeText(ReadTextField(device.record.macAddress)) + ", which is not in the plan"});
            if (mac)
                named.emplace(*ip, *mac);
        }
    }
    for (const auto& [ip, planned] : plannedAddress) {
        // This computer's own addresses answer with its adapters' MACs, and
        // are named already.
        if (AdapterWithAddress(ownAdapters, ip))
            continue;
        // A device that keeps its address puts nobody new on it.
        if (const std::string* why = use.WhyNotProbed(ip); why && moving.count(ip) && !unprobedOk)
            problems.push_back({planned.first, FormatMac(planned.second) + ": ip " + FormatIPv4(ip) +
                                                   " could not be probed (" + *why +
                                                   "): whether another host holds it is unknown"});
        const std::vector<MacAddress>* answers = use.Answers(ip);
        if (!answers)
            continue;
        std::vector<MacAddress> others;
        for (const MacAddress& mac : *answers) {
            if (mac != planned.second && !ours.count(mac) && !named.count({ip, mac}))
                others.push_back(mac);
        }
        if (!others.empty())
            problems.push_back({planned.first, FormatIPv4(ip) + " is planned for " + FormatMac(planned.second) +
                                                   " but is in use by " + MacList(others)});
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const PlanProblem& a, const PlanProblem& b) { return a.line < b.line; });
    return problems;
}

namespace {

// The static addresses the plan's devices would have; with `newOnly`, only
// those a device is not at now.
std::vector<std::uint32_t> StaticAddresses(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found,
                                           bool newOnly)
{
    const DevicesByMac byMac(found);
    std::vector<std::uint32_t> addresses;
    for (const PlanRow& row : plan) {
        const std::vector<const FoundDevice*>& devices = byMac.With(row.mac);
        if (devices.size() != 1 || EffectiveSetting(devices.front()->record, row.change, Setting::Mode) != "static")
            continue;
        const DISCOVERY_DATA& record = devices.front()->record;
        const auto ip = ParseIPv4(EffectiveSetting(record, row.change, Setting::Ip));
        if (ip && !(newOnly && ParseIPv4(CurrentSetting(record, Setting::Ip)) == ip))
            addresses.push_back(*ip);
    }
    return addresses;
}

}  // namespace

std::vector<std::uint32_t> PlannedAddresses(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found)
{
    return StaticAddresses(plan, found, false);
}

std::vector<std::uint32_t> NewAddresses(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found)
{
    return StaticAddresses(plan, found, true);
}
