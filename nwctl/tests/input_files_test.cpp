// What an operator hands nwctl: plan and inventory files as spreadsheets
// write them, and arguments. A file of another kind is told what nwctl
// reads; a fault is named without flooding the terminal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command_table.h"
#include "io/csv_table.h"
#include "io/safe_text.h"
#include "rules/inventory_rules.h"
#include "rules/plan_rules.h"

namespace {

using namespace std::string_literals;

constexpr char kWhatIsRead[] = "comma-separated UTF-8 or ASCII text with a header line";
constexpr char kWhatToDo[] = "\"CSV UTF-8 (comma delimited)\"";

// `text` as UTF-16 code units of its ASCII characters.
std::string Utf16(const std::string& text, bool bigEndian)
{
    std::string units;
    for (const char c : text)
        units += bigEndian ? "\0"s + c : c + "\0"s;
    return units;
}

std::vector<std::string> TableErrors(const std::string& text)
{
    CsvTable table;
    std::vector<std::string> errors;
    EXPECT_FALSE(ReadCsvTable(text, "mac", table, errors)) << text;
    return errors;
}

TEST(CsvTable, AFileOfAnotherKindIsToldWhatIsRead)
{
    const std::string csv = "mac,ip\n00:1A:2B:00:00:01,192.0.2.10\n";
    const struct {
        const char* name;
        std::string text;
        const char* says;  // what the file was taken for
    } cases[] = {
        {"a workbook", "PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0mac,ip"s, "NUL bytes"},
        {"NULs in a CSV", "mac,ip\n00:1A:2B:00:00:01,\0\0\0\0\n"s, "NUL bytes"},
        {"UTF-16 little-endian with its mark", "\xFF\xFE" + Utf16(csv, false), "UTF-16"},
        {"UTF-16 big-endian with its mark", "\xFE\xFF" + Utf16(csv, true), "UTF-16"},
        {"UTF-16 little-endian without a mark", Utf16(csv, false), "UTF-16"},
        {"UTF-16 big-endian without a mark", Utf16(csv, true), "UTF-16"},
        {"UTF-16 with only its mark", "\xFF\xFE", "UTF-16"},
        {"semicolons", "mac;ip\n00:1A:2B:00:00:01;192.0.2.10\n", "\";\""},
        {"semicolons, quoted", "\"mac\";\"ip\"\n\"00:1A:2B:00:00:01\";\"192.0.2.10\"\n", "\";\""},
        {"semicolons, a cell with a comma", "\xEF\xBB\xBFmac;name\r\n00:1A:2B:00:00:01;Hall, east\r\n", "\";\""},
        {"tabs", "mac\tip\n00:1A:2B:00:00:01\t192.0.2.10\n", "tabs"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> errors = TableErrors(c.text);
        ASSERT_EQ(errors.size(), 1u) << c.name;
        EXPECT_NE(errors[0].find(c.says), std::string::npos) << c.name << ": " << errors[0];
        EXPECT_NE(errors[0].find(kWhatIsRead), std::string::npos) << c.name << ": " << errors[0];
        EXPECT_NE(errors[0].find(kWhatToDo), std::string::npos) << c.name << ": " << errors[0];
    }

    // Commas win: a tab or semicolon in a comma-separated file is text.
    for (const char* text :
         {"mac\t\n00:1A:2B:00:00:01\n", "mac,name\n00:1A:2B:00:00:01,a;b\tc\n", "name;x,mac\n,00:1A:2B:00:00:01\n"}) {
        CsvTable table;
        std::vector<std::string> errors;
        EXPECT_TRUE(ReadCsvTable(text, "mac", table, errors)) << text << (errors.empty() ? "" : errors[0]);
    }
    // Without a mac column and without commas, but no other separator:
    // the usual message.
    EXPECT_EQ(TableErrors("ip\n192.0.2.1\n"), std::vector<std::string>{"line 1: the header has no mac column"});
}

TEST(CsvTable, HeaderNamesInAnyCase)
{
    std::vector<PlanRow> rows;
    std::vector<std::string> errors;
    ASSERT_TRUE(ReadPlan("MAC,IP,Web_Port\n00:1A:2B:00:00:01,192.0.2.10,8080\n", rows, errors)) << errors[0];
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].change[static_cast<std::size_t>(Setting::Ip)], "192.0.2.10");
    EXPECT_EQ(rows[0].change[static_cast<std::size_t>(Setting::WebPort)], "8080");

    std::vector<ExpectedDevice> expected;
    ASSERT_TRUE(ReadInventory("Mac,Ip\n00:1A:2B:00:00:01,192.0.2.10\n", expected, errors)) << errors[0];
    ASSERT_EQ(expected.size(), 1u);
    EXPECT_EQ(expected[0].ip, 0xC000020Au);

    EXPECT_EQ(TableErrors("mac,ip,IP\n"), std::vector<std::string>{"line 1: the header names column IP twice"});
    EXPECT_EQ(TableErrors("Mac,MAC\n"), std::vector<std::string>{"line 1: the header names column MAC twice"});
}

TEST(Messages, EveryMacErrorNamesEveryForm)
{
    std::vector<std::string> messages;
    Invocation invocation;
    std::string error;
    EXPECT_FALSE(ParseArguments({"reboot", "00:1A:2B:3C:4D"}, kCommandTable, invocation, error));
    messages.push_back(error);
    std::vector<PlanRow> rows;
    std::vector<std::string> planErrors, inventoryErrors;
    EXPECT_FALSE(ReadPlan("mac\n00:1A:2B:3C:4D\n", rows, planErrors));
    std::vector<ExpectedDevice> expected;
    EXPECT_FALSE(ReadInventory("mac\n00:1A:2B:3C:4D\n", expected, inventoryErrors));
    messages.insert(messages.end(), planErrors.begin(), planErrors.end());
    messages.insert(messages.end(), inventoryErrors.begin(), inventoryErrors.end());
    ASSERT_EQ(messages.size(), 3u);
    for (const std::string& message : messages) {
        EXPECT_NE(message.find("\"00:1A:2B:3C:4D\" is not a MAC address"), std::string::npos) << message;
        for (const char* form : {"00:1A:2B:3C:4D:5E", "00-1A-2B-3C-4D-5E", "001A.2B3C.4D5E", "001A2B3C4D5E"})
            EXPECT_NE(message.find(form), std::string::npos) << form << " in " << message;
        EXPECT_NE(message.find("either case"), std::string::npos) << message;
    }
    EXPECT_EQ(messages[1], "line 2: mac " + messages[0]);
    EXPECT_EQ(messages[1], messages[2]);
}

TEST(ShortText, LongTextIsCutWithItsLength)
{
    EXPECT_EQ(ShortText(""), "");
    EXPECT_EQ(ShortText("00:1A:2B:3C:4D"), "00:1A:2B:3C:4D");
    EXPECT_EQ(ShortText("\x1b[31m"), "\\x1B[31m");
    const std::string atLimit(kShortTextBytes, 'a');
    EXPECT_EQ(ShortText(atLimit), atLimit);
    EXPECT_EQ(ShortText(atLimit + "b"), atLimit + "... (" + std::to_string(kShortTextBytes + 1) + " bytes)");
    EXPECT_EQ(ShortText("/a/path/of/some/length", 7), "/a/path... (22 bytes)");
    EXPECT_EQ(ShortText("/a/path/of/some/length", 22), "/a/path/of/some/length");
    // Cut by bytes before the escape, so no \xNN is broken.
    EXPECT_EQ(ShortText(std::string(1000, '\x1b')),
              SafeText(std::string(kShortTextBytes, '\x1b')) + "... (1000 bytes)");
}

// A 1 MB cell or argument is named in a message of a line, not of a
// megabyte.
TEST(Messages, AHugeFieldIsCut)
{
    const std::string huge(1 << 20, '7');
    const std::string said = "... (1048576 bytes)";
    std::vector<std::string> messages;
    for (const std::string& csv :
         {"mac\n" + huge + "\n", "mac,web_port\n00:1A:2B:00:00:01," + huge + "\n", "mac," + huge + "," + huge + "\n"}) {
        std::vector<PlanRow> rows;
        std::vector<std::string> errors;
        EXPECT_FALSE(ReadPlan(csv, rows, errors));
        messages.insert(messages.end(), errors.begin(), errors.end());
    }
    for (const std::string& csv : {"mac\n" + huge + "\n", "mac,ip\n00:1A:2B:00:00:01," + huge + "\n"}) {
        std::vector<ExpectedDevice> expected;
        std::vector<std::string> errors;
        EXPECT_FALSE(ReadInventory(csv, expected, errors));
        messages.insert(messages.end(), errors.begin(), errors.end());
    }
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {huge},
             {"set", huge, "--ip", "192.0.2.1"},
             {"set", "00:1A:2B:3C:4D:5E", huge},
             {"search", "--rounds", huge},
             {"search", "--" + huge.substr(2)},
             {"check", "a.csv", huge},
         }) {
        Invocation invocation;
        std::string error;
        EXPECT_FALSE(ParseArguments(args, kCommandTable, invocation, error));
        messages.push_back(error);
    }
    ASSERT_EQ(messages.size(), 11u);
    for (const std::string& message : messages) {
        EXPECT_LT(message.size(), 400u) << message.substr(0, 400);
        EXPECT_NE(message.find(said), std::string::npos) << message.substr(0, 400);
    }
}

}  // namespace
