// Inventory: the expected devices against those that answer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "address_use_fixture.h"
#include "record_bytes.h"
#include "rules/inventory_rules.h"

namespace {

FoundDevice Device(const std::string& mac, const std::string& ip, const std::string& firmware = "1.0_20240115")
{
    DISCOVERY_DATA record;
    std::memset(&record, 0, sizeof record);
    record.command = DISCOVERY_CMD_SEARCH_REPLY;
    PutField(record.macAddress, mac);
    PutField(record.ipAddress, ip);
    PutField(record.firmwareVersion, firmware);
    return FoundDevice{record, "lan0"};
}

std::vector<ExpectedDevice> Expected(const std::string& csv)
{
    std::vector<ExpectedDevice> expected;
    std::vector<std::string> errors;
    EXPECT_TRUE(ReadInventory(csv, expected, errors)) << (errors.empty() ? "" : errors.front());
    return expected;
}

TEST(InventoryFile, MacRequiredIpOptional)
{
    const auto expected = Expected("name,mac,ip\nfront,00:1A:2B:00:00:01,192.0.2.10\nback,00-1a-2b-00-00-02,\n");
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(expected[0].ip, 0xC000020Au);
    EXPECT_FALSE(expected[1].ip);
    EXPECT_EQ(Expected("mac\n00:1A:2B:00:00:01\n").size(), 1u);

    const struct {
        const char* csv;
        std::vector<std::string> errors;
    } bad[] = {
        {"ip\n192.0.2.1\n", {"line 1: the header has no mac column"}},
        {"mac,ip\n00:1A:2B:00:00:01,192.0.2\n", {"line 2: ip \"192.0.2\" is not a dotted IPv4 address"}},
        {"mac\n00:1A:2B:00:00:01\n001A2B000001\n", {"line 3: 00:1A:2B:00:00:01 is listed on line 2 already"}},
        {"mac\nzz\n", {std::string("line 2: mac \"zz\" is not a MAC address: give ") + kMacForms}},
    };
    for (const auto& c : bad) {
        std::vector<ExpectedDevice> expected;
        std::vector<std::string> errors;
        EXPECT_FALSE(ReadInventory(c.csv, expected, errors)) << c.csv;
        EXPECT_EQ(errors, c.errors) << c.csv;
    }
}

// This computer, as the cases see it: one adapter on the devices' subnet.
const std::vector<Adapter> kOwnAdapters = {{"lan0", 0xC0000201u, 0xFFFFFF00u, 2, false, std::nullopt}};

std::vector<std::string> Findings(const std::string& csv, const std::vector<FoundDevice>& found,
                                  std::optional<std::int32_t> date = std::nullopt, const AddressUse& use = AddressUse())
{
    std::vector<std::string> texts;
    for (const InventoryFinding& finding : CompareInventory(Expected(csv), found, kOwnAdapters, use, date))
        texts.push_back(finding.kind + " | " + finding.mac + " | " + finding.ip + " | " + finding.detail);
    return texts;
}

TEST(Inventory, ReportsWhatDiffers)
{
    const FoundDevice a = Device("00:1A:2B:00:00:01", "192.0.2.10");
    const FoundDevice b = Device("00:1a:2b:00:00:02", "192.0.2.11", "2.0_20220806");
    const FoundDevice stranger = Device("00:1A:2B:00:00:09", "192.0.2.11");
    const FoundDevice junk = Device("\x1b[1m", "", "");
    const FoundDevice undated = Device("00:1A:2B:00:00:01", "192.0.2.10", "20240101");

    const struct {
        const char* name;
        std::string csv;
        std::vector<FoundDevice> found;
        std::optional<std::int32_t> date;
        std::vector<std::string> findings;
    } cases[] = {
        {"all there, MAC spelling aside",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.10\n00:1A:2B:00:00:02,\n",
         {a, b},
         std::nullopt,
         {}},
        {"missing",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.10\n00:1A:2B:00:00:03,192.0.2.12\n",
         {a},
         std::nullopt,
         {"missing | 00:1A:2B:00:00:03 | 192.0.2.12 | not found by the search"}},
        {"at another address",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n",
         {a},
         std::nullopt,
         {"wrong-address | 00:1A:2B:00:00:01 | 192.0.2.10 | expected at 192.0.2.20"}},
        {"one of its answers is at the expected address, but a MAC answering from two is reported",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.10\n",
         {a, Device("00:1A:2B:00:00:01", "192.0.2.30")},
         std::nullopt,
         {"duplicate-mac | 00:1A:2B:00:00:01 | 192.0.2.10 192.0.2.30 | answers from 2 addresses: two devices share "
          "the MAC, or one has two"}},
        {"a MAC answering from two addresses, in two spellings, and not in the inventory",
         "mac\n00:1A:2B:00:00:01\n",
         {a, Device("00:1a:2b:00:00:07", "192.0.2.40"), Device("00:1A:2B:00:00:07", "192.0.2.41")},
         std::nullopt,
         {"unexpected | 00:1a:2b:00:00:07 | 192.0.2.40 | not in the inventory",
          "unexpected | 00:1A:2B:00:00:07 | 192.0.2.41 | not in the inventory",
          "duplicate-mac | 00:1A:2B:00:00:07 | 192.0.2.40 192.0.2.41 | answers from 2 addresses: two devices share "
          "the MAC, or one has two"}},
        {"a device on this computer's own address",
         "mac\n00:1A:2B:00:00:01\n",
         {Device("00:1A:2B:00:00:01", "192.0.2.1")},
         std::nullopt,
         {"conflict | 00:1A:2B:00:00:01 | 192.0.2.1 | this computer's own address (adapter lan0)"}},
        {"unexpected devices and a shared address",
         "mac\n00:1A:2B:00:00:01\n00:1A:2B:00:00:02\n",
         {a, b, stranger, junk},
         std::nullopt,
         {"unexpected | 00:1A:2B:00:00:09 | 192.0.2.11 | not in the inventory",
          "unexpected | \x1b[1m |  | not in the inventory",
          "conflict | 00:1A:2B:00:00:09 00:1a:2b:00:00:02 | 192.0.2.11 | 2 devices answer from one address"}},
        {"firmware before the date",
         "mac\n00:1A:2B:00:00:01\n00:1A:2B:00:00:02\n",
         {a, b},
         20220807,
         {"old-firmware | 00:1a:2b:00:00:02 | 192.0.2.11 | firmware 2.0_20220806 dates 20220806, before 20220807"}},
        {"a version without an underscore has no date, as in the list",
         "mac\n00:1A:2B:00:00:01\n",
         {undated},
         20220807,
         {"old-firmware | 00:1A:2B:00:00:01 | 192.0.2.10 | firmware 20240101 has no date, so it counts as before "
          "20220807"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Findings(c.csv, c.found, c.date), c.findings) << c.name;
}

TEST(Inventory, AddressesTwoMacsAnswerFor)
{
    const FoundDevice a = Device("00:1a:2b:00:00:01", "192.0.2.10");
    const FoundDevice b = Device("00:1A:2B:00:00:02", "192.0.2.11");
    const FoundDevice stranger = Device("00:1A:2B:00:00:09", "192.0.2.11");
    const char* bystander = "02:00:5e:10:00:07";
    const struct {
        const char* name;
        std::string csv;
        std::vector<FoundDevice> found;
        AddressUse use;
        std::vector<std::string> findings;
    } cases[] = {
        {"each address answered by its own device only",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.10\n",
         {a},
         Use({{"192.0.2.10", {"00:1A:2B:00:00:01"}}, {"192.0.2.20", {}}}, {"192.0.2.30"}),
         {}},
        {"another host on a device's address",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.10\n",
         {a},
         Use({{"192.0.2.10", {bystander, "00:1A:2B:00:00:01"}}}),
         {"ip-conflict | 00:1A:2B:00:00:01 02:00:5E:10:00:07 | 192.0.2.10 | 2 MACs answer for it: 00:1A:2B:00:00:01 "
          "and 02:00:5E:10:00:07"}},
        {"hosts that are none of ours, on an address the inventory expects",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.10\n",
         {a},
         Use({{"192.0.2.10", {"00:1A:2B:00:00:01"}},
              {"192.0.2.20", {bystander, "02:00:5E:10:00:08", "02:00:5E:10:00:09"}}}),
         {"ip-conflict | 02:00:5E:10:00:07 02:00:5E:10:00:08 02:00:5E:10:00:09 | 192.0.2.20 | 3 MACs answer for it: "
          "02:00:5E:10:00:07, 02:00:5E:10:00:08 and 02:00:5E:10:00:09"}},
        {"two devices on one address: the search's conflict and the probe's",
         "mac\n00:1A:2B:00:00:02\n00:1A:2B:00:00:09\n",
         {b, stranger},
         Use({{"192.0.2.11", {"00:1A:2B:00:00:09", "00:1A:2B:00:00:02"}}}),
         {"conflict | 00:1A:2B:00:00:02 00:1A:2B:00:00:09 | 192.0.2.11 | 2 devices answer from one address",
          "ip-conflict | 00:1A:2B:00:00:02 00:1A:2B:00:00:09 | 192.0.2.11 | 2 MACs answer for it: 00:1A:2B:00:00:02 "
          "and 00:1A:2B:00:00:09"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Findings(c.csv, c.found, std::nullopt, c.use), c.findings) << c.name;

    // The addresses to probe: those expected and those answered from.
    EXPECT_EQ(InventoryAddresses(Expected("mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n00:1A:2B:00:00:02,\n"
                                          "00:1A:2B:00:00:03,192.0.2.11\n"),
                                 {a, b, stranger, Device("00:1A:2B:00:00:04", "not an address")}),
              (std::vector<std::uint32_t>{0xC000020Au, 0xC000020Bu, 0xC0000214u}));
}

TEST(Inventory, OutputIsSafeInBothFormats)
{
    const std::vector<InventoryFinding> findings = {{"unexpected", "\x1b[1m", "\n", "not in the inventory"}};
    const std::string table = FormatFindings(findings, OutputFormat::Table);
    EXPECT_EQ(table, "kind        mac      ip    detail\nunexpected  \\x1B[1m  \\x0A  not in the inventory\n");
    EXPECT_EQ(FormatFindings(findings, OutputFormat::Json),
              "[\n  {\"kind\": \"unexpected\", \"mac\": \"\\u001b[1m\", \"ip\": \"\\u000a\", \"detail\": \"not in the "
              "inventory\"}\n]\n");
    EXPECT_EQ(FormatFindings({}, OutputFormat::Json), "[]\n");
}

// A kind found on many devices would bury the rare findings: the table and
// the report's page show it as one line with the count, after the rare
// ones; conflicts stay one line each, as each needs its own fix. JSON
// keeps every finding.
TEST(Inventory, AKindFoundOnManyDevicesIsOneLineAfterTheRareOnes)
{
    const auto many = [](const std::string& kind, int count, const std::string& detail, int first = 1) {
        std::vector<InventoryFinding> findings;
        for (int i = first; i < first + count; ++i) {
            char mac[18];
            std::snprintf(mac, sizeof mac, "00:1A:2B:00:00:%02X", i);
            findings.push_back({kind, mac, "192.0.2." + std::to_string(i), detail});
        }
        return findings;
    };
    const auto joined = [](std::vector<std::vector<InventoryFinding>> parts) {
        std::vector<InventoryFinding> all;
        for (const auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const auto lines = [](const std::vector<InventoryFinding>& findings) {
        std::vector<std::string> shown;
        for (const FindingLine& line : FindingLines(findings)) {
            const auto cells = FindingLineCells(line);
            shown.push_back(cells[0] + " | " + cells[1] + " | " + cells[2] + " | " + cells[3]);
        }
        return shown;
    };
    std::vector<InventoryFinding> oldFirmware = many("old-firmware", 4, "firmware 1.0 dates 20200101, before 20220807");
    oldFirmware[3].detail = "firmware 0.9 has no date, so it counts as before 20220807";
    const struct {
        const char* name;
        std::vector<InventoryFinding> findings;
        std::vector<std::string> lines;
    } cases[] = {
        {"three of a kind stay three lines",
         many("missing", 3, "not found by the search"),
         {"missing | 00:1A:2B:00:00:01 | 192.0.2.1 | not found by the search",
          "missing | 00:1A:2B:00:00:02 | 192.0.2.2 | not found by the search",
          "missing | 00:1A:2B:00:00:03 | 192.0.2.3 | not found by the search"}},
        {"many of a kind after the rare ones, the largest group last",
         joined({many("factory-ports", 6, "every port as it left the factory: web_port 80", 10),
                 many("unexpected", 1, "not in the inventory", 30), oldFirmware}),
         {"unexpected | 00:1A:2B:00:00:1E | 192.0.2.30 | not in the inventory",
          "old-firmware | 4 devices |  | firmware 1.0 dates 20200101, before 20220807, and others alike: "
          "00:1A:2B:00:00:01, 00:1A:2B:00:00:02, 00:1A:2B:00:00:03 and 1 more",
          "factory-ports | 6 devices |  | every port as it left the factory: web_port 80: 00:1A:2B:00:00:0A, "
          "00:1A:2B:00:00:0B, 00:1A:2B:00:00:0C and 3 more"}},
        {"conflicts are never grouped",
         many("conflict", 4, "2 devices answer from one address"),
         {"conflict | 00:1A:2B:00:00:01 | 192.0.2.1 | 2 devices answer from one address",
          "conflict | 00:1A:2B:00:00:02 | 192.0.2.2 | 2 devices answer from one address",
          "conflict | 00:1A:2B:00:00:03 | 192.0.2.3 | 2 devices answer from one address",
          "conflict | 00:1A:2B:00:00:04 | 192.0.2.4 | 2 devices answer from one address"}},
        {"none", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lines(c.findings), c.lines) << c.name;

    // The table shows the lines; JSON every finding.
    const std::vector<InventoryFinding> findings = many("missing", 5, "not found by the search");
    EXPECT_EQ(FormatFindings(findings, OutputFormat::Table),
              "kind     mac        ip  detail\n"
              "missing  5 devices      not found by the search: 00:1A:2B:00:00:01, 00:1A:2B:00:00:02, "
              "00:1A:2B:00:00:03 and 2 more\n");
    const std::string json = FormatFindings(findings, OutputFormat::Json);
    for (const InventoryFinding& finding : findings)
        EXPECT_NE(json.find("\"mac\": \"" + finding.mac + "\""), std::string::npos) << finding.mac;
}

}  // namespace
