#include "report/report_model.h"

#include <algorithm>
#include <map>
#include <set>

#include "device/factory_ports.h"
#include "device/setting_changes.h"
#include "device_rows.h"
#include "ipv4_text.h"
#include "rules/audit_log.h"
#include "subnet.h"
#include "text_field.h"
#include "utc_time.h"

namespace {

std::vector<ReportCount> Counted(const std::map<std::string, std::size_t>& counts)
{
    std::vector<ReportCount> list;
    for (const auto& [label, count] : counts)
        list.push_back({label, count});
    return list;
}

std::string DeviceDetail(const FoundDevice& device)
{
    return ReadTextField(device.record.macAddress) + " " + ReadTextField(device.record.productName);
}

std::string MacList(const std::vector<MacAddress>& macs)
{
    std::string list;
    for (const MacAddress& mac : macs) {
        if (!list.empty())
            list += ' ';
        list += FormatMac(mac);
    }
    return list;
}

MapCell Cell(std::uint32_t address, const MapRange& range, const std::vector<Adapter>& own,
             const std::vector<const FoundDevice*>& devices, const AddressUse& use)
{
    if (const Adapter* adapter = AdapterWithAddress(own, address))
        return {MapState::ThisComputer, "this computer (" + adapter->name + ")"};
    const std::vector<MacAddress>* answers = use.Answers(address);
    std::set<std::string> macs;
    std::string detail;
    for (const FoundDevice* device : devices) {
        if (macs.insert(ReadTextField(device->record.macAddress)).second)
            detail += (detail.empty() ? "" : ", ") + DeviceDetail(*device);
    }
    if (!devices.empty()) {
        // The device's own MAC may answer the probe; any other is a second
        // host on its address.
        bool other = macs.size() > 1;
        if (answers) {
            const auto own = ParseMac(*macs.begin());
            for (const MacAddress& mac : *answers)
                other = other || !own || *own != mac;
        }
        if (!other)
            return {MapState::Device, detail};
        if (answers && !answers->empty())
            detail += "; the probe heard " + MacList(*answers);
        return {MapState::Conflict, detail};
    }
    const std::uint32_t last = range.first + (range.count - 1);
    if (range.whole && range.prefix <= 30 && (address == range.first || address == last))
        return {MapState::Reserved, address == range.first ? "the subnet's network address" : "the broadcast address"};
    if (!answers)
        return {MapState::NotProbed, "not probed"};
    if (answers->empty())
        return {MapState::Free, "no answer to the probe"};
    if (answers->size() > 1)
        return {MapState::Conflict, "answered by " + MacList(*answers)};
    return {MapState::OtherHost, "answered by " + MacList(*answers)};
}

}  // namespace

const char* MapStateName(MapState state)
{
    static const char* const kNames[kMapStateCount] = {"this computer", "conflict", "device",    "reserved",
                                                       "other host",    "free",     "not probed"};
    return kNames[static_cast<std::size_t>(state)];
}

MapRange MapRangeOf(const Adapter& adapter)
{
    MapRange range;
    range.prefix = MaskPrefix(adapter.mask).value_or(24);
    const std::uint64_t size = std::uint64_t{1} << (32 - range.prefix);
    const std::uint32_t mask = PrefixMask(range.prefix);
    if (size > kMapMost) {
        range.whole = false;
        range.first = adapter.address & ~(kMapMost - 1);
        range.count = kMapMost;
    } else {
        range.first = adapter.address & mask;
        range.count = static_cast<std::uint32_t>(size);
    }
    return range;
}

std::vector<std::uint32_t> AddressesToProbe(const MapRange& range, const std::vector<Adapter>& ownAdapters)
{
    std::vector<std::uint32_t> addresses;
    for (std::uint32_t i = 0; i < range.count; ++i) {
        const std::uint32_t address = range.first + i;
        const bool edge = range.whole && range.prefix <= 30 && (i == 0 || i + 1 == range.count);
        if (!edge && !AdapterWithAddress(ownAdapters, address))
            addresses.push_back(address);
    }
    return addresses;
}

std::optional<InventoryFinding> FactoryPortsFinding(const FoundDevice& device)
{
    std::string ports;
    std::size_t count = 0;
    for (const auto& [setting, port] : kFactoryPorts) {
        if (CurrentSetting(device.record, setting) == std::to_string(port)) {
            ports += (ports.empty() ? "" : ", ") + std::string(kSettingNames[static_cast<std::size_t>(setting)]) + " " +
                     std::to_string(port);
            ++count;
        }
    }
    if (count == 0)
        return std::nullopt;
    return InventoryFinding{"factory-ports", ReadTextField(device.record.macAddress),
                            ReadTextField(device.record.ipAddress),
                            (count == kFactoryPorts.size() ? "every port as it left the factory: "
                                                           : "some ports as they left the factory: ") +
                                ports};
}

std::string FirmwareDateLabel(std::int32_t date)
{
    if (date <= 0)
        return "no date";
    const std::string digits = std::to_string(date);
    if (digits.size() != 8)
        return digits;
    return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
}

ReportModel BuildReport(const ReportInput& input)
{
    ReportModel model;
    model.site = input.site;
    model.time = UtcTimestamp(input.time);
    model.adapters = input.searchAdapters;
    model.minFirmwareDate = input.minFirmwareDate;

    model.devices = input.found;
    std::stable_sort(model.devices.begin(), model.devices.end(), [](const FoundDevice& a, const FoundDevice& b) {
        const auto ipA = ParseIPv4(ReadTextField(a.record.ipAddress));
        const auto ipB = ParseIPv4(ReadTextField(b.record.ipAddress));
        if (ipA.has_value() != ipB.has_value())
            return ipA.has_value();
        if (ipA && *ipA != *ipB)
            return *ipA < *ipB;
        return ReadTextField(a.record.macAddress) < ReadTextField(b.record.macAddress);
    });

    std::map<std::string, std::size_t> products, modes;
    std::map<std::int32_t, std::size_t> dates;
    for (const FoundDevice& device : model.devices) {
        ++products[ReadTextField(device.record.productName)];
        ++modes[ModeText(device.record.dhcp)];
        ++dates[std::max<std::int32_t>(FirmwareDate(device.record), 0)];
    }
    model.products = Counted(products);
    for (const char* mode : {"static", "dhcp"}) {
        const auto found = modes.find(mode);
        if (found != modes.end()) {
            model.modes.push_back({mode, found->second});
            modes.erase(found);
        }
    }
    for (const ReportCount& other : Counted(modes))
        model.modes.push_back(other);
    for (const auto& [date, count] : dates)
        model.firmwareDates.push_back(
            {FirmwareDateLabel(date), count, input.minFirmwareDate && date < *input.minFirmwareDate});

    model.findings = CompareInventory(input.inventory.value_or(std::vector<ExpectedDevice>{}), input.found,
                                      input.ownAdapters, input.use, input.minFirmwareDate);
    if (!input.inventory) {
        // Without an inventory every device would be unexpected.
        model.findings.erase(std::remove_if(model.findings.begin(), model.findings.end(),
                                            [](const InventoryFinding& f) { return f.kind == "unexpected"; }),
                             model.findings.end());
        model.notChecked.push_back("missing and unexpected devices: no inventory was given (--inventory FILE)");
    }
    if (!input.minFirmwareDate)
        model.notChecked.push_back("old firmware: no date to hold it to was given (--min-firmware-date YYYYMMDD)");
    for (const FoundDevice& device : model.devices) {
        if (auto finding = FactoryPortsFinding(device))
            model.findings.push_back(*finding);
    }

    model.auditLogs = input.auditLogs;
    model.changes = input.changes;
    model.auditProblems = input.auditProblems;

    if (!input.searchAdapters.empty()) {
        model.map = MapRangeOf(input.searchAdapters.front());
        std::map<std::uint32_t, std::vector<const FoundDevice*>> at;
        for (const FoundDevice& device : model.devices) {
            if (const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress)))
                at[*ip].push_back(&device);
        }
        static const std::vector<const FoundDevice*> kNone;
        for (std::uint32_t i = 0; i < model.map.count; ++i) {
            const std::uint32_t address = model.map.first + i;
            const auto devices = at.find(address);
            model.cells.push_back(
                Cell(address, model.map, input.ownAdapters, devices == at.end() ? kNone : devices->second, input.use));
            ++model.stateCounts[static_cast<std::size_t>(model.cells.back().state)];
        }
    }
    model.probeLimit = input.use.limit;
    return model;
}
