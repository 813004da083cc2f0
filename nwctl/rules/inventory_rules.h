// Inventory: the devices that should be there against those that answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_output.h"
#include "device/found_devices.h"
#include "device/mac.h"
#include "probe/address_use.h"
#include "rules/adapter_choice.h"

struct ExpectedDevice {
    MacAddress mac;
    std::optional<std::uint32_t> ip;  // where the file says
};

// A CSV with a `mac` column and, if it likes, an `ip` column (a blank cell
// expects no particular address); other columns are ignored. False, with
// one message per fault, on a bad header, a bad cell or a MAC listed twice.
bool ReadInventory(std::string_view text, std::vector<ExpectedDevice>& expected, std::vector<std::string>& errors);

struct InventoryFinding {
    // missing, unexpected, wrong-address, conflict, ip-conflict, duplicate-mac, old-firmware
    std::string kind;
    std::string mac;  // device texts as they came: not yet safe to show
    std::string ip;
    std::string detail;
};

// Missing devices, devices at another address than expected, unexpected
// devices, conflicts (addresses the search found answered by two MAC texts
// or more, or a device on an address of `ownAdapters`, this computer's),
// ip-conflicts (addresses that two MACs or more answer for, as `use` found
// them, devices of ours or not), a MAC answering from two addresses or more
// (duplicate-mac), and, with a date, firmware older than it by the device
// list's date rule (no date counts as older).
std::vector<InventoryFinding> CompareInventory(const std::vector<ExpectedDevice>& expected,
                                               const std::vector<FoundDevice>& found,
                                               const std::vector<Adapter>& ownAdapters, const AddressUse& use,
                                               std::optional<std::int32_t> minFirmwareDate);

// The addresses the inventory expects and those the found devices answered
// from: those to probe before comparing. Ascending, each once.
std::vector<std::uint32_t> InventoryAddresses(const std::vector<ExpectedDevice>& expected,
                                              const std::vector<FoundDevice>& found);

// A kind found on more devices than this shows as one line where a person
// reads the findings (check's table, the report's page), so that the rare
// findings are seen first; machine formats list every finding.
constexpr std::size_t kGroupedAbove = 3;

// One line of the findings as a person reads them: one finding, or every
// finding of a kind found on more than kGroupedAbove devices. Conflicts
// (conflict, ip-conflict) are never grouped: each needs its own fix.
struct FindingLine {
    std::vector<InventoryFinding> findings;
};

// The findings that stay single, in their order, then the groups, the
// smallest first.
std::vector<FindingLine> FindingLines(const std::vector<InventoryFinding>& findings);

// A line's kind, mac, ip and detail, texts as they came. A group's: the
// kind, "N devices", no ip, and the detail they share (else the first's,
// "and others alike") with the first few MACs.
std::array<std::string, 4> FindingLineCells(const FindingLine& line);

// A table of FindingLines, or a JSON array of objects with the members
// kind, mac, ip, detail, one per finding.
std::string FormatFindings(const std::vector<InventoryFinding>& findings, OutputFormat format);
