// Device texts are hostile: whatever they hold, the table and CSV carry only
// printable ASCII, and CSV read back gives the fields that were written.
// (JSON texts give every byte back: base/tests/json_text_test.cpp.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/counted.h"
#include "io/csv.h"
#include "io/json.h"
#include "io/safe_text.h"
#include "io/table.h"

namespace {

using namespace std::string_literals;

bool PrintableAscii(const std::string& text)
{
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

const std::vector<std::string> kHostile = {
    "",
    "plain",
    "\x1b[31mred\x1b[0m",
    "bell\a and NUL\0inside"s,
    "C1 \x9b"
    "31m CSI",
    "DEL\x7f",
    "back\\slash \\x41",
    "quote \" and comma ,",
    "line\r\nbreak\n",
    "\xc3\xa9 UTF-8 \xff\xfe bytes",
    std::string(36, '\xff'),
};

TEST(SafeText, OnlyPrintableAsciiAndTheEscapeCannotBeForged)
{
    for (const std::string& bytes : kHostile) {
        const std::string safe = SafeText(bytes);
        EXPECT_TRUE(PrintableAscii(safe)) << safe;
        // Distinct texts stay distinct: a backslash in the text is doubled,
        // so "\x41" written by a device does not read as "A".
        for (const std::string& other : kHostile) {
            if (other != bytes) {
                EXPECT_NE(SafeText(other), safe);
            }
        }
    }
    EXPECT_EQ(SafeText("a\x1b[0m\\"), "a\\x1B[0m\\\\");
    EXPECT_EQ(SafeText("\x9b\xff"), "\\x9B\\xFF");
}

// A path is the operator's own text, shown as given (a Windows path keeps
// its single backslashes, a name its letters), but it cannot move the
// cursor or retitle the terminal either.
TEST(PathText, AsGivenButNoControl)
{
    EXPECT_EQ(PathText("Z:\\site\\site.html"), "Z:\\site\\site.html");
    EXPECT_EQ(PathText("/home/zo\xc3\xab/caf\xc3\xa9 \xc5\x91.csv"), "/home/zo\xc3\xab/caf\xc3\xa9 \xc5\x91.csv");
    EXPECT_EQ(PathText("C:\\Bauten\\M\xfcller.html"), "C:\\Bauten\\M\xfcller.html") << "a letter of the ANSI code page";
    EXPECT_EQ(PathText("a\x1b]0;pwned\x07"
                       "b\r\n\x7f"),
              "a\\x1B]0;pwned\\x07b\\x0D\\x0A\\x7F");
    // C1 controls, in UTF-8 and as bare bytes: the CSI of some terminals.
    EXPECT_EQ(PathText("a\xc2\x9b"
                       "2Jb\x9b"
                       "2J"),
              "a\\xC2\\x9B2Jb\\x9B2J");
    for (const std::string& bytes : kHostile) {
        for (const char c : PathText(bytes)) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << PathText(bytes);
        }
    }
    // A path too long to be any file's is cut, and says how long it was.
    const std::string huge(100000, 'a');
    EXPECT_EQ(PathText(huge), huge.substr(0, kPathShown) + "... (100000 bytes)");
}

TEST(Json, ObjectsAndArrays)
{
    EXPECT_EQ(JsonObject({{"a", "1"}, {"b\"", JsonString("x")}}), "{\"a\": 1, \"b\\\"\": \"x\"}");
    EXPECT_EQ(JsonArray({}), "[]");
    EXPECT_EQ(JsonArray({"1", "2"}), "[\n  1,\n  2\n]");
}

TEST(Csv, WrittenFieldsReadBackTheSame)
{
    std::vector<std::string> fields;
    for (const std::string& bytes : kHostile)
        fields.push_back(bytes);
    std::string text = CsvLine({"head"}) + CsvLine(fields) + CsvLine({"", ""});
    std::vector<CsvRecord> records;
    std::string error;
    ASSERT_TRUE(ReadCsv(text, records, error)) << error;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].fields, fields);
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[2].line, 5) << "the record with two line breaks in quotes spans lines 2 to 4";
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("plain text"), "plain text");
}

// A spreadsheet takes a cell that starts with one of = + - @ (or a tab or
// a carriage return before one) as a formula: such a text is written after
// a single quote, which makes the spreadsheet show it as text.
TEST(Csv, ATextASpreadsheetWouldRunIsWrittenAsText)
{
    const struct {
        std::string text, field;
        bool prefixed;
    } cases[] = {
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\"", true},
        {"=1+1", "'=1+1", true},
        {"+1", "'+1", true},
        {"-2+3", "'-2+3", true},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)", true},
        {"\t=1", "'\t=1", true},
        {"\r=1", "\"'\r=1\"", true},
        {"=1,2", "\"'=1,2\"", true},
        {"a=1", "a=1", false},
        {" =1", " =1", false},
        {"'=1", "'=1", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
        // Read back, the quote is the cell's first character.
        std::vector<CsvRecord> records;
        std::string error;
        ASSERT_TRUE(ReadCsv(CsvLine({c.text, "x"}), records, error)) << error;
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].fields[0], (c.prefixed ? "'" : "") + c.text) << c.text;
    }
}

// One rule counts every noun in nwctl's messages.
TEST(Messages, OneOfAThingIsSingular)
{
    EXPECT_EQ(Counted(0, "problem"), "0 problems");
    EXPECT_EQ(Counted(1, "problem"), "1 problem");
    EXPECT_EQ(Counted(2, "device"), "2 devices");
    EXPECT_EQ(Counted(1, "address", "addresses"), "1 address");
    EXPECT_EQ(Counted(3, "address", "addresses"), "3 addresses");
}

struct ReadCase {
    const char* name;
    std::string text;
    std::vector<std::vector<std::string>> records;  // empty with `error` set: fails
    std::string error;
};

TEST(Csv, ReadsWhatSpreadsheetsWriteAndNamesTheLineOfAFault)
{
    const ReadCase cases[] = {
        {"LF", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}, ""},
        {"CR LF and no end", "a,b\r\n1,2", {{"a", "b"}, {"1", "2"}}, ""},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "a\n1\n",
         {{"a"}, {"1"}},
         ""},
        {"blank lines skipped", "a\n\n\r\n1\n", {{"a"}, {"1"}}, ""},
        {"empty fields", ",\n,,x\n", {{"", ""}, {"", "", "x"}}, ""},
        {"quoted comma, quote, break", "\"a,\"\"b\"\"\r\nc\"\n", {{"a,\"b\"\r\nc"}}, ""},
        {"empty quoted", "\"\",x\n", {{"", "x"}}, ""},
        {"never closed", "a\n\"open,\nstill\n", {}, "line 2: a quoted field is never closed"},
        {"text after the quote", "a\n\"x\"y\n", {}, "line 2: text after a closing quotation mark"},
        {"stray quote", "a\nb\nx\"y\n", {}, "line 3: a quotation mark inside a field that does not start with one"},
        {"fault after a multi-line field", "\"1\n2\",x\n\"3\"4\n", {}, "line 3: text after a closing quotation mark"},
    };
    for (const ReadCase& c : cases) {
        std::vector<CsvRecord> records;
        std::string error;
        const bool read = ReadCsv(c.text, records, error);
        EXPECT_EQ(read, c.error.empty()) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        if (!read)
            continue;
        std::vector<std::vector<std::string>> fields;
        for (const CsvRecord& record : records)
            fields.push_back(record.fields);
        EXPECT_EQ(fields, c.records) << c.name;
    }
}

TEST(Table, AlignsColumnsWithoutTrailingBlanks)
{
    EXPECT_EQ(FormatTable({"a", "bbb", "c"}, {{"xxxx", "", "z"}, {"", "y", ""}}),
              "a     bbb  c\n"
              "xxxx       z\n"
              "      y\n");
    EXPECT_EQ(FormatTable({"only"}, {}), "only\n");
}

// A table wider than the terminal wraps every line into the next: the
// widest columns give up their ends first, down to their header's width
// and a few characters, and one that fits already is not cut.
TEST(Table, FitsAWidthByCuttingTheWidestColumnsFirst)
{
    const struct {
        const char* name;
        std::vector<std::size_t> widths, floors;
        std::size_t available;
        std::vector<std::size_t> fitted;
    } cases[] = {
        {"fits", {17, 15, 6, 11, 14}, {3, 2, 4, 7, 8}, 80, {17, 15, 6, 11, 14}},
        {"fits exactly", {17, 15, 6, 11, 23}, {3, 2, 4, 7, 8}, 80, {17, 15, 6, 11, 23}},
        {"one long text", {17, 15, 6, 40, 14}, {3, 2, 4, 7, 8}, 80, {17, 15, 6, 20, 14}},
        {"two long texts share the cut", {17, 15, 6, 30, 30}, {3, 2, 4, 7, 8}, 80, {17, 15, 6, 17, 17}},
        {"an odd cut: the later column gives more", {17, 15, 6, 30, 31}, {3, 2, 4, 7, 8}, 80, {17, 15, 6, 17, 17}},
        {"not below the floors", {17, 15, 6, 40}, {8, 8, 8, 8}, 30, {8, 8, 6, 8}},
        {"one column", {100}, {8}, 80, {80}},
        {"no columns", {}, {}, 80, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitWidths(c.widths, c.floors, c.available), c.fitted) << c.name;
}

TEST(Table, ACutTextEndsInTheMarker)
{
    const std::vector<std::vector<std::string>> rows = {{"00:1A:2B:00:00:01", "A rather long product name", "1.0"},
                                                        {"00:1A:2B:00:00:02", "Short", "1.0_20240115_build7"}};
    // 55 columns: the two long texts are cut to the MAC's 17.
    EXPECT_EQ(FormatTable({"mac", "product", "firmware"}, rows, 55, {true, true, true}),
              "mac                product            firmware\n"
              "00:1A:2B:00:00:01  A rather long pr~  1.0\n"
              "00:1A:2B:00:00:02  Short              1.0_20240115_bui~\n");
    const std::string whole = FormatTable({"mac", "product", "firmware"}, rows);
    EXPECT_EQ(FormatTable({"mac", "product", "firmware"}, rows, 200, {true, true, true}), whole);
    // A column not to cut stays whole, and the others give up more.
    EXPECT_EQ(FormatTable({"mac", "product", "firmware"}, rows, 45, {false, true, true}),
              "mac                product       firmware\n"
              "00:1A:2B:00:00:01  A rather lo~  1.0\n"
              "00:1A:2B:00:00:02  Short         1.0_2024011~\n");
    EXPECT_NE(whole.find("A rather long product name"), std::string::npos);
}

}  // namespace
