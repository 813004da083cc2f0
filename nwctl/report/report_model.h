// The handover report's content: what a search, a probe, an inventory and
// the audit logs say about a site, gathered once for the HTML and the JSON
// writers alike. Texts stay as they came (bytes, not yet safe to show):
// each writer escapes them by its own rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "device/found_devices.h"
#include "probe/address_use.h"
#include "rules/adapter_choice.h"
#include "rules/audit_reading.h"
#include "rules/inventory_rules.h"

// What an address of the map is, by the first that fits: this computer's,
// two devices or more (or a device and another MAC, as the probe heard it),
// a device, the subnet's network or broadcast address, another host that
// answered the probe, free, or not probed.
enum class MapState { ThisComputer, Conflict, Device, Reserved, OtherHost, Free, NotProbed };
constexpr std::size_t kMapStateCount = 7;
// "this computer", "conflict", ...: the legend's words and the JSON's.
const char* MapStateName(MapState state);

// The map covers the adapter's subnet, or, for a subnet of more than
// kMapMost addresses, the aligned block of kMapMost that holds the
// adapter's address.
constexpr std::uint32_t kMapMost = 1024;

struct MapRange {
    std::uint32_t first = 0;
    std::uint32_t count = 0;  // 1 to kMapMost
    int prefix = 24;          // the subnet's
    bool whole = true;        // the whole subnet shows
};
// The adapter's subnet by its mask; a mask that is no prefix counts as /24.
MapRange MapRangeOf(const Adapter& adapter);

// The map's addresses that a probe can tell anything of: all but this
// computer's own and the subnet's network and broadcast addresses.
std::vector<std::uint32_t> AddressesToProbe(const MapRange& range, const std::vector<Adapter>& ownAdapters);

struct MapCell {
    MapState state;
    std::string detail;  // who: MACs and device texts, for the cell's title
};

struct ReportCount {
    std::string label;
    std::size_t count;
    bool old = false;  // firmware dated before --min-firmware-date
};

struct ReportInput {
    std::string site;
    std::time_t time = 0;
    std::vector<Adapter> searchAdapters;  // the first one's subnet is mapped
    std::vector<Adapter> ownAdapters;
    std::vector<FoundDevice> found;
    AddressUse use;  // the probe of AddressesToProbe
    std::optional<std::vector<ExpectedDevice>> inventory;
    std::optional<std::int32_t> minFirmwareDate;
    std::vector<std::string> auditLogs;  // the names, as given
    std::vector<AuditChange> changes;
    std::vector<std::string> auditProblems;
};

struct ReportModel {
    std::string site;
    std::string time;  // UTC
    std::vector<Adapter> adapters;
    // Sorted by address as a number; devices without one last, by MAC text.
    std::vector<FoundDevice> devices;
    std::vector<ReportCount> products;       // by name
    std::vector<ReportCount> firmwareDates;  // "no date" first, then oldest to newest, as YYYY-MM-DD
    std::vector<ReportCount> modes;          // static, dhcp, others
    std::optional<std::int32_t> minFirmwareDate;
    std::vector<InventoryFinding> findings;
    std::vector<std::string> notChecked;  // what the findings could not cover, and why

    std::vector<std::string> auditLogs;
    std::vector<AuditChange> changes;
    std::vector<std::string> auditProblems;

    MapRange map;
    std::vector<MapCell> cells;  // one per address from map.first
    std::size_t stateCounts[kMapStateCount] = {};
    std::string probeLimit;  // why some addresses were not probed
};

// "factory-ports": a device still on some of the ports it left the factory
// with; none when every port was changed.
std::optional<InventoryFinding> FactoryPortsFinding(const FoundDevice& device);

// A firmware date as the summary shows it: "2024-01-15"; "no date" for none.
std::string FirmwareDateLabel(std::int32_t date);

ReportModel BuildReport(const ReportInput& input);
