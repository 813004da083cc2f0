// A search's replies taken in by the list's duplicate rule, and printed with
// every field under the shared names in each format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv.h"
#include "device_fields.h"
#include "device_output.h"
#include "found_devices.h"
#include "record_bytes.h"
#include "search_reply.h"

namespace {

DISCOVERY_DATA Reply(const std::string& mac, const std::string& ip)
{
    DISCOVERY_DATA record = SearchReply(mac, ip, "Cam");
    PutField(record.manufacturer, "Maker");
    PutField(record.firmwareVersion, "1.0_20220807");
    PutField(record.deviceName, "front door");
    return record;
}

TEST(SearchIntake, OneDevicePerMacAndIpPair)
{
    SearchIntake intake;
    const DISCOVERY_DATA a = Reply("00:00:00:00:00:01", "192.0.2.10");
    DISCOVERY_DATA notReply = Reply("00:00:00:00:00:09", "192.0.2.19");
    notReply.command = DISCOVERY_CMD_SET_CONFIG;
    DISCOVERY_DATA noMac = Reply("", "192.0.2.20");

    const struct {
        const char* name;
        DISCOVERY_DATA record;
        std::size_t length;
        bool listed;
    } steps[] = {
        {"first reply", a, sizeof a, true},
        {"the same device again", a, sizeof a, false},
        {"same MAC, other IP", Reply("00:00:00:00:00:01", "192.0.2.11"), 371, true},
        {"same IP, other MAC", Reply("00:00:00:00:00:02", "192.0.2.10"), 371, true},
        {"MAC in other case", Reply("00:00:00:00:00:0a", "192.0.2.12"), 371, true},
        {"MAC in other case, again: its own text", Reply("00:00:00:00:00:0A", "192.0.2.12"), 371, true},
        {"not a search reply", notReply, 371, false},
        {"empty MAC text never repeats", noMac, 371, true},
        {"and again", noMac, 371, true},
        {"an empty datagram", Reply("00:00:00:00:00:03", "192.0.2.13"), 0, false},
        {"a short datagram, the rest zero", Reply("00:00:00:00:00:04", "192.0.2.14"), 300, true},
        {"longer than a record", Reply("00:00:00:00:00:05", "192.0.2.15"), 372, false},
    };
    std::size_t listed = 0;
    for (const auto& step : steps) {
        EXPECT_EQ(intake.Take(step.record, step.length, "lan0"), step.listed) << step.name;
        listed += step.listed;
        EXPECT_EQ(intake.Devices().size(), listed) << step.name;
    }
    EXPECT_EQ(intake.Devices().front().adapter, "lan0");
}

FoundDevice Hostile()
{
    DISCOVERY_DATA record = Reply("00:1A:2B:00:00:01", "192.0.2.10");
    PutField(record.productName, "red\x1b[31m, \"quoted\"\r\n");
    PutField(record.manufacturer, std::string(32, '\x9b'));  // no NUL: the whole field
    PutField(record.deviceName, "back\\slash");
    record.dhcp = 7;
    record.httpsEnabled = 200;
    record.webPort = 65535;
    return FoundDevice{record, "lan 0"};
}

TEST(DeviceOutput, EveryFieldUnderItsName)
{
    const auto values = DeviceFieldValues(Hostile());
    const std::vector<std::string> expected = {
        "00:1A:2B:00:00:01",
        "192.0.2.10",
        "255.255.255.0",
        "192.0.2.1",
        "192.0.2.2",
        "7",  // neither static nor dhcp: the number
        "65535",
        "30001",
        "30002",
        "30004",
        "30003",
        "200",
        "red\x1b[31m, \"quoted\"\r\n",
        std::string(32, '\x9b'),
        "1.0_20220807",
        "back\\slash",
        "lan 0",
    };
    EXPECT_EQ(std::vector<std::string>(values.begin(), values.end()), expected);

    FoundDevice old = Hostile();
    PutField(old.record.firmwareVersion, "1.0_20220806");
    EXPECT_EQ(DeviceFieldValues(old)[15], "N/A") << "the list's firmware-date rule";
    old.record.dhcp = 1;
    EXPECT_EQ(DeviceFieldValues(old)[5], "dhcp");
    old.record.dhcp = 0;
    EXPECT_EQ(DeviceFieldValues(old)[5], "static");
}

TEST(DeviceOutput, CsvHasTheHeaderAndReadsBackAsEscapedText)
{
    const std::string csv = FormatDevices({Hostile(), Hostile()}, OutputFormat::Csv);
    for (const char c : csv)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "raw byte " << static_cast<int>(c);
    std::vector<CsvRecord> records;
    std::string error;
    ASSERT_TRUE(ReadCsv(csv, records, error)) << error;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fields, std::vector<std::string>(kFieldNames.begin(), kFieldNames.end()));
    EXPECT_EQ(records[1].fields[12], "red\\x1B[31m, \"quoted\"\\x0D\\x0A");
    EXPECT_EQ(records[1].fields[15], "back\\\\slash");
    EXPECT_EQ(records[2].fields, records[1].fields);
}

TEST(DeviceOutput, JsonNumbersForPortsAndHttps)
{
    const std::string json = FormatDevices({Hostile()}, OutputFormat::Json);
    EXPECT_NE(json.find("\"web_port\": 65535, "), std::string::npos) << json;
    EXPECT_NE(json.find("\"https\": 200, "), std::string::npos) << json;
    EXPECT_NE(json.find("\"mode\": \"7\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"product\": \"red\\u001b[31m, \\\"quoted\\\"\\u000d\\u000a\""), std::string::npos) << json;
    EXPECT_EQ(json.front(), '[');
    EXPECT_EQ(FormatDevices({}, OutputFormat::Json), "[]\n");
}

TEST(DeviceOutput, TableShowsNoRawControlCharacters)
{
    const std::string table = FormatDevices({Hostile()}, OutputFormat::Table);
    for (const char c : table)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "raw byte " << static_cast<int>(c);
    EXPECT_EQ(table.substr(0, 4), "mac ");
}

}  // namespace
