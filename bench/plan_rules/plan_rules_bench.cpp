// The checks of a large plan and inventory, beside the baseline of the same
// checks before the found devices were indexed by MAC, on the same data in
// the same run: N devices found, a plan that readdresses each of them, an
// inventory that lists each. Prints one line per size and check:
//   plan|check N  now_seconds  before_seconds
// Sizes: the arguments (default 1000 10000).
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "device/setting_changes.h"
#include "device/setting_names.h"
#include "io/csv.h"
#include "ipv4_text.h"
#include "record_bytes.h"
#include "rules/inventory_rules.h"
#include "rules/plan_rules.h"
#include "rules_before.h"
#include "text_field.h"

namespace {

std::vector<FoundDevice> Devices(std::size_t count)
{
    std::vector<FoundDevice> found;
    for (std::size_t i = 0; i < count; ++i) {
        DISCOVERY_DATA record;
        std::memset(&record, 0, sizeof record);
        record.command = DISCOVERY_CMD_SEARCH_REPLY;
        char mac[18];
        std::snprintf(mac, sizeof mac, "00:1A:2B:%02X:%02X:%02X", static_cast<unsigned>(i >> 16 & 0xFF),
                      static_cast<unsigned>(i >> 8 & 0xFF), static_cast<unsigned>(i & 0xFF));
        PutField(record.macAddress, mac);
        PutField(record.ipAddress, FormatIPv4(0x0A000000u + 2 + static_cast<std::uint32_t>(i)));
        PutField(record.subnetMask, "255.0.0.0");
        PutField(record.gateway, "10.255.255.254");
        PutField(record.dns, "10.255.255.253");
        PutField(record.firmwareVersion, "1.4.2_20240115");
        record.webPort = 80;
        record.controlPort = 30001;
        record.videoPort = 30002;
        record.audioReceivePort = 30003;
        record.audioTransmitPort = 30004;
        found.push_back(FoundDevice{record, "lan0"});
    }
    return found;
}

// Every device moves 100,000 addresses up.
std::string PlanCsv(const std::vector<FoundDevice>& found)
{
    std::string csv = CsvLine({"mac", "ip"});
    for (const FoundDevice& device : found) {
        const std::uint32_t ip = *ParseIPv4(ReadTextField(device.record.ipAddress));
        csv += CsvLine({ReadTextField(device.record.macAddress), FormatIPv4(ip + 100000)});
    }
    return csv;
}

std::string InventoryCsv(const std::vector<FoundDevice>& found)
{
    std::string csv = CsvLine({"mac", "ip"});
    for (const FoundDevice& device : found)
        csv += CsvLine({ReadTextField(device.record.macAddress), ReadTextField(device.record.ipAddress)});
    return csv;
}

template <typename Work>
double Seconds(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The dry run's walk as the command does it now.
std::size_t DryRunSteps(const std::vector<PlanRow>& rows, const std::vector<FoundDevice>& found)
{
    const DevicesByMac byMac(found);
    std::size_t steps = 0;
    for (const PlanRow& row : rows) {
        const auto& devices = byMac.With(row.mac);
        steps += devices.size() == 1 && !ChangedSettings(devices.front()->record, row.change).empty();
    }
    return steps;
}

// The rules' rows and records in the baseline's terms.
std::vector<before::PlanRow> BaselineRows(const std::vector<PlanRow>& rows)
{
    std::array<std::size_t, before::kSettingCount> column{};
    for (std::size_t i = 0; i < before::kSettingCount; ++i)
        column[i] = static_cast<std::size_t>(SettingNamed(before::kSettingNames[i]).value());
    std::vector<before::PlanRow> baseline;
    baseline.reserve(rows.size());
    for (const PlanRow& row : rows) {
        before::SettingsChange change;
        for (std::size_t i = 0; i < before::kSettingCount; ++i)
            change[i] = row.change[column[i]];
        baseline.push_back({row.line, row.mac, change});
    }
    return baseline;
}

std::vector<before::ExpectedDevice> BaselineExpected(const std::vector<ExpectedDevice>& expected)
{
    std::vector<before::ExpectedDevice> baseline;
    baseline.reserve(expected.size());
    for (const ExpectedDevice& device : expected)
        baseline.push_back({device.mac, device.ip});
    return baseline;
}

std::vector<DISCOVERY_DATA> Records(const std::vector<FoundDevice>& found)
{
    std::vector<DISCOVERY_DATA> records;
    records.reserve(found.size());
    for (const FoundDevice& device : found)
        records.push_back(device.record);
    return records;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<std::size_t>(std::strtoul(argv[i], nullptr, 10)));
    if (sizes.empty())
        sizes = {1000, 10000};
    const std::vector<Adapter> own = {{"lan0", 0x0A000001u, 0xFF000000u, 2, false, std::nullopt}};
    // The rules as the figures before had them: nothing known of other hosts.
    const AddressUse notProbed;
    for (const std::size_t size : sizes) {
        const std::vector<FoundDevice> found = Devices(size);
        const std::vector<DISCOVERY_DATA> records = Records(found);
        const std::string planText = PlanCsv(found);
        const std::string inventoryText = InventoryCsv(found);
        std::size_t problems = 0, findings = 0, steps = 0;

        const double planNow = Seconds([&] {
            std::vector<PlanRow> rows;
            std::vector<std::string> errors;
            ReadPlan(planText, rows, errors);
            problems += FindPlanProblems(rows, found, own, notProbed, false).size();
            steps += DryRunSteps(rows, found);
        });
        const double planBefore = Seconds([&] {
            std::vector<PlanRow> rows;
            std::vector<std::string> errors;
            ReadPlan(planText, rows, errors);
            const std::vector<before::PlanRow> baseline = BaselineRows(rows);
            problems += before::FindPlanProblems(baseline, records).size();
            steps += before::DryRunSteps(baseline, records);
        });
        const double checkNow = Seconds([&] {
            std::vector<ExpectedDevice> expected;
            std::vector<std::string> errors;
            ReadInventory(inventoryText, expected, errors);
            findings += CompareInventory(expected, found, own, notProbed, 20220807).size();
        });
        const double checkBefore = Seconds([&] {
            std::vector<ExpectedDevice> expected;
            std::vector<std::string> errors;
            ReadInventory(inventoryText, expected, errors);
            findings += before::CompareInventory(BaselineExpected(expected), records, 20220807).size();
        });
        // Both versions must have done the whole work: no problem, no
        // finding, every device a step.
        if (problems != 0 || findings != 0 || steps != 2 * size) {
            std::fprintf(stderr,
                         "plan_rules_bench: the checks disagree with the data (%zu problems, %zu findings, "
                         "%zu steps)\n",
                         problems, findings, steps);
            return 1;
        }
        std::printf("plan %zu %.4f %.4f\n", size, planNow, planBefore);
        std::printf("check %zu %.4f %.4f\n", size, checkNow, checkBefore);
        std::fflush(stdout);
    }
    return 0;
}
