// A search's replies taken in by the list's duplicate rule, and printed
// under the shared field names in each format: the fields chosen, a table
// for 80 columns by default, every field in CSV and JSON.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command_table.h"
#include "device/device_fields.h"
#include "device/device_output.h"
#include "device/found_devices.h"
#include "io/csv.h"
#include "net/drop_count.h"
#include "record_bytes.h"
#include "rules/plan_rules.h"
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
        bool listed;
    } steps[] = {
        {"first reply", a, true},
        {"the same device again", a, false},
        {"same MAC, other IP", Reply("00:00:00:00:00:01", "192.0.2.11"), true},
        {"same IP, other MAC", Reply("00:00:00:00:00:02", "192.0.2.10"), true},
        {"MAC in other case", Reply("00:00:00:00:00:0a", "192.0.2.12"), true},
        {"MAC in other case, again: its own text", Reply("00:00:00:00:00:0A", "192.0.2.12"), true},
        {"not a search reply", notReply, false},
        {"empty MAC text never repeats", noMac, true},
        {"and again", noMac, true},
    };
    std::size_t listed = 0;
    for (const auto& step : steps) {
        EXPECT_EQ(intake.Take(step.record, "lan0"), step.listed) << step.name;
        listed += step.listed;
        EXPECT_EQ(intake.Devices().size(), listed) << step.name;
    }
    EXPECT_EQ(intake.Devices().front().adapter, "lan0");
}

std::vector<std::size_t> AllFields()
{
    return ShownFields(OutputFormat::Table, {}, true);
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

TEST(DeviceFields, PortsAndHttpsAreNumbersAndEveryOtherFieldAText)
{
    const std::set<std::string> numbers = {"web_port",           "control_port", "video_port", "audio_transmit_port",
                                           "audio_receive_port", "https"};
    for (std::size_t field = 0; field < kFieldCount; ++field)
        EXPECT_EQ(IsNumberField(field), numbers.count(kFieldNames[field]) == 1) << kFieldNames[field];
}

TEST(DeviceOutput, CsvHasTheHeaderAndReadsBackAsEscapedText)
{
    const std::string csv = FormatDevices({Hostile(), Hostile()}, OutputFormat::Csv, AllFields());
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

// A camera as the simulator plays it: the usual width of each field.
FoundDevice Usual()
{
    DISCOVERY_DATA record = SearchReply("00:1A:2B:00:00:01", "198.51.100.100", "SimCam-0001");
    PutField(record.manufacturer, "Nodewright Lab");
    PutField(record.firmwareVersion, "1.4.2_20240115");
    PutField(record.deviceName, "cam-0001");
    return FoundDevice{record, "lan0"};
}

// A device's texts could run in the spreadsheet that opens the search's
// CSV: there they are text; the table and JSON show them as they are, and
// the CSV is still a plan.
TEST(DeviceOutput, AFormulaInADeviceTextIsTextInCsvOnly)
{
    FoundDevice device = Usual();
    PutField(device.record.deviceName, "=cmd|' /C calc'!A0");
    PutField(device.record.productName, "@SUM(1+1)");
    const std::vector<std::size_t> fields = {*FieldNamed("mac"), *FieldNamed("name"), *FieldNamed("product")};
    EXPECT_EQ(FormatDevices({device}, OutputFormat::Csv, fields),
              "mac,name,product\n00:1A:2B:00:00:01,'=cmd|' /C calc'!A0,'@SUM(1+1)\n");
    EXPECT_EQ(FormatDevices({device}, OutputFormat::Table, fields),
              "mac                name                product\n"
              "00:1A:2B:00:00:01  =cmd|' /C calc'!A0  @SUM(1+1)\n");
    EXPECT_NE(FormatDevices({device}, OutputFormat::Json, fields).find("\"name\": \"=cmd|' /C calc'!A0\""),
              std::string::npos);

    std::vector<PlanRow> rows;
    std::vector<std::string> errors;
    ASSERT_TRUE(ReadPlan(FormatDevices({device}, OutputFormat::Csv, AllFields()), rows, errors)) << errors[0];
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(FormatMac(rows[0].mac), "00:1A:2B:00:00:01");
}

TEST(DeviceOutput, JsonNumbersForPortsAndHttps)
{
    const std::string json = FormatDevices({Hostile()}, OutputFormat::Json, AllFields());
    EXPECT_NE(json.find("\"web_port\": 65535, "), std::string::npos) << json;
    EXPECT_NE(json.find("\"https\": 200, "), std::string::npos) << json;
    EXPECT_NE(json.find("\"mode\": \"7\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"product\": \"red\\u001b[31m, \\\"quoted\\\"\\u000d\\u000a\""), std::string::npos) << json;
    EXPECT_EQ(json.front(), '[');
    EXPECT_EQ(FormatDevices({}, OutputFormat::Json, AllFields()), "[]\n");
}

TEST(DeviceOutput, TableShowsNoRawControlCharacters)
{
    const std::string table = FormatDevices({Hostile()}, OutputFormat::Table, AllFields());
    for (const char c : table)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "raw byte " << static_cast<int>(c);
    EXPECT_EQ(table.substr(0, 4), "mac ");
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

TEST(DeviceOutput, TheTableFitsEightyColumnsAndWideShowsEveryField)
{
    const std::string table =
        FormatDevices({Usual(), Usual()}, OutputFormat::Table, ShownFields(OutputFormat::Table, {}, false));
    const auto lines = Lines(table);
    ASSERT_EQ(lines.size(), 3u) << table;
    EXPECT_EQ(lines[0], "mac                ip              mode    product      firmware");
    EXPECT_EQ(lines[1], "00:1A:2B:00:00:01  198.51.100.100  static  SimCam-0001  1.4.2_20240115");
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 80u) << line;

    const std::string wide = FormatDevices({Usual()}, OutputFormat::Table, ShownFields(OutputFormat::Table, {}, true));
    EXPECT_EQ(Lines(wide)[0].substr(0, 5), "mac  ");
    std::string names;
    for (const char* name : kFieldNames)
        names += std::string(names.empty() ? "" : " ") + name;
    std::string header = Lines(wide)[0];
    for (std::size_t blank; (blank = header.find("  ")) != std::string::npos;)
        header.erase(blank, 1);
    EXPECT_EQ(header, names) << "every field, in the order of the field table";
}

TEST(DeviceOutput, ColumnsChooseTheFieldsOfEveryFormat)
{
    const std::vector<std::size_t> every = AllFields();
    ASSERT_EQ(every.size(), kFieldCount);
    EXPECT_EQ(ShownFields(OutputFormat::Csv, {}, false), every) << "an edited CSV is a plan: the mac matters";
    EXPECT_EQ(ShownFields(OutputFormat::Json, {}, false), every);
    const std::vector<std::size_t> chosen = {*FieldNamed("web_port"), *FieldNamed("ip")};
    for (const OutputFormat format : {OutputFormat::Table, OutputFormat::Csv, OutputFormat::Json})
        EXPECT_EQ(ShownFields(format, chosen, false), chosen);

    EXPECT_EQ(FormatDevices({Usual()}, OutputFormat::Table, chosen),
              "web_port  ip\n"
              "80        198.51.100.100\n");
    EXPECT_EQ(FormatDevices({Usual()}, OutputFormat::Csv, chosen), "web_port,ip\n80,198.51.100.100\n");
    EXPECT_EQ(FormatDevices({Usual()}, OutputFormat::Json, chosen),
              "[\n  {\"web_port\": 80, \"ip\": \"198.51.100.100\"}\n]\n");
}

TEST(DeviceOutput, AnEmptyTextIsADashInTheTableOnly)
{
    FoundDevice device = Usual();
    PutField(device.record.ipAddress, "");
    PutField(device.record.deviceName, "");
    const std::vector<std::size_t> fields = {*FieldNamed("mac"), *FieldNamed("ip"), *FieldNamed("name")};
    EXPECT_EQ(FormatDevices({device}, OutputFormat::Table, fields),
              "mac                ip  name\n"
              "00:1A:2B:00:00:01  -   -\n");
    // A blank plan cell keeps the device's value.
    EXPECT_EQ(FormatDevices({device}, OutputFormat::Csv, fields), "mac,ip,name\n00:1A:2B:00:00:01,,\n");
    EXPECT_NE(FormatDevices({device}, OutputFormat::Json, fields).find("\"ip\": \"\", \"name\": \"\""),
              std::string::npos);
}

TEST(SearchArguments, ColumnsAndWide)
{
    const auto field = [](const char* name) { return *FieldNamed(name); };
    const struct {
        std::vector<std::string> args;
        std::vector<std::size_t> columns;
        bool wide;
        std::string error;
    } cases[] = {
        {{"search"}, {}, false, ""},
        {{"search", "--columns", "ip,mac"}, {field("ip"), field("mac")}, false, ""},
        {{"search", "--columns=adapter"}, {field("adapter")}, false, ""},
        {{"search", "--columns", "mac", "--columns", "ip", "--format", "csv"}, {field("mac"), field("ip")}, false, ""},
        {{"search", "--wide"}, {}, true, ""},
        {{"search", "--columns", "ip,ipaddress"},
         {},
         false,
         "--columns: no field \"ipaddress\"; the fields are mac ip mask gateway dns mode web_port control_port "
         "video_port audio_transmit_port audio_receive_port https product maker firmware name adapter"},
        {{"search", "--columns", "IP"}, {}, false, "--columns: no field \"IP\"; the fields are mac ip"},
        {{"search", "--columns", "ip,mac,ip"}, {}, false, "--columns names \"ip\" twice"},
        {{"search", "--columns", "ip", "--columns", "ip"}, {}, false, "--columns names \"ip\" twice"},
        {{"search", "--columns", "mac,,ip"}, {}, false, "--columns takes field names joined by commas"},
        {{"search", "--columns", "mac,"}, {}, false, "--columns takes field names joined by commas"},
        {{"search", "--columns", ""}, {}, false, "--columns takes field names joined by commas"},
        {{"search", "--columns", "ip", "--wide"}, {}, false, "--columns and --wide exclude each other"},
        {{"search", "--wide", "--columns", "ip"}, {}, false, "--columns and --wide exclude each other"},
        {{"search", "--wide=yes"}, {}, false, "--wide takes no value"},
        {{"search", "--columns"}, {}, false, "--columns needs a value"},
        {{"check", "inventory.csv", "--columns", "ip"}, {}, false, "check has no option \"--columns\""},
        {{"plan", "plan.csv", "--wide"}, {}, false, "plan has no option \"--wide\""},
    };
    for (const auto& c : cases) {
        Invocation invocation;
        std::string error;
        const bool parsed = ParseArguments(c.args, kCommandTable, invocation, error);
        const std::string name = c.args.back();
        EXPECT_EQ(parsed, c.error.empty()) << name << ": " << error;
        if (!parsed) {
            EXPECT_EQ(error.substr(0, c.error.size()), c.error) << name;
            continue;
        }
        EXPECT_EQ(invocation.columns, c.columns) << name;
        EXPECT_EQ(invocation.wide, c.wide) << name;
    }
}

// The kernel's 32-bit count of drops, read from datagrams queued at
// different moments and from the socket: the latest is the one furthest
// ahead, across a wrap, and an older reading read later changes nothing.
TEST(DropCount, TheLatestReadingAcrossAWrap)
{
    DropCount drops;
    EXPECT_EQ(drops.Latest(), 0u) << "nothing dropped when the socket opens";
    const struct {
        std::uint32_t reading;
        std::uint32_t latest;
    } steps[] = {
        {0, 0},
        {5, 5},
        {3, 5},
        {5, 5},
        {0xFFFFFFF0u, 5},
        {0x7FFFFFFFu, 0x7FFFFFFFu},
        {0xFFFFFFF0u, 0xFFFFFFF0u},
        {2, 2},
        {0xFFFFFFFFu, 2},
    };
    for (const auto& step : steps) {
        drops.Read(step.reading);
        EXPECT_EQ(drops.Latest(), step.latest) << step.reading;
    }
    EXPECT_EQ(DropCount::Between(10, 25), 15u);
    EXPECT_EQ(DropCount::Between(0xFFFFFFF0u, 2), 18u) << "across the wrap";
    EXPECT_EQ(DropCount::Between(7, 7), 0u);
}

}  // namespace
