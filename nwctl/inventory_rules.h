// Inventory: the devices that should be there against those that answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "adapter_choice.h"
#include "address_use.h"
#include "device_output.h"
#include "found_devices.h"
#include "mac.h"

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

// A table, or a JSON array of objects with the members kind, mac, ip, detail.
std::string FormatFindings(const std::vector<InventoryFinding>& findings, OutputFormat format);
