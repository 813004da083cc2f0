#include "io/csv_table.h"

#include <algorithm>
#include <set>

#include "io/safe_text.h"

namespace {

constexpr char kWhatIsRead[] =
    "nwctl reads comma-separated UTF-8 or ASCII text with a header line: in a spreadsheet, save the file as "
    "\"CSV UTF-8 (comma delimited)\"";

// UTF-16 as Windows tools write it: with its byte-order mark, or without
// one, mostly ASCII with a NUL before or after each of its bytes.
bool LooksUtf16(std::string_view text)
{
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")
        return true;
    const std::size_t pairs = std::min<std::size_t>(text.size(), 512) / 2;
    std::size_t nulFirst = 0, nulSecond = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        nulFirst += text[2 * i] == '\0';
        nulSecond += text[2 * i + 1] == '\0';
    }
    return pairs > 0 && ((nulFirst * 2 >= pairs && nulSecond == 0) || (nulSecond * 2 >= pairs && nulFirst == 0));
}

// The message for a file that is no text at all, or text of another kind
// than comma-separated UTF-8; empty for one that may be read.
std::string NotCsvText(std::string_view text)
{
    if (LooksUtf16(text))
        return "the file is UTF-16 text. " + std::string(kWhatIsRead);
    if (text.find('\0') != std::string_view::npos)
        return "the file is not text: it holds NUL bytes, as a workbook or another binary file does. " +
               std::string(kWhatIsRead);
    return {};
}

// The separator of a header line that holds no comma but semicolons or
// tabs, as spreadsheets write for some languages; null for another line.
const char* OtherSeparator(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const std::size_t start = text.find_first_not_of("\r\n");
    if (start == std::string_view::npos)
        return nullptr;
    const std::string_view line = text.substr(start, text.find_first_of("\r\n", start) - start);
    if (line.find(',') != std::string_view::npos)
        return nullptr;
    if (line.find(';') != std::string_view::npos)
        return "\";\"";
    if (line.find('\t') != std::string_view::npos)
        return "tabs";
    return nullptr;
}

// Column names are told apart without regard to ASCII case.
std::string Lowered(std::string_view name)
{
    std::string lowered(name);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

std::string Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

}  // namespace

std::optional<std::size_t> CsvTable::Column(std::string_view name) const
{
    const std::string wanted = Lowered(name);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (Lowered(names[i]) == wanted)
            return i;
    }
    return std::nullopt;
}

std::string CsvTable::Cell(const CsvRecord& row, std::size_t column)
{
    return column < row.fields.size() ? Trimmed(row.fields[column]) : std::string();
}

bool ReadCsvTable(std::string_view text, const char* required, CsvTable& table, std::vector<std::string>& errors)
{
    if (const std::string message = NotCsvText(text); !message.empty()) {
        errors.push_back(message);
        return false;
    }
    // Told only when the file cannot be read as CSV: a one-column file may
    // hold a semicolon or a tab.
    const char* otherSeparator = OtherSeparator(text);
    const std::size_t errorsBefore = errors.size();
    const auto separatedOtherwise = [&errors, otherSeparator] {
        errors.push_back("the header line is separated by " + std::string(otherSeparator) + ", not by commas. " +
                         kWhatIsRead);
        return false;
    };
    std::vector<CsvRecord> records;
    std::string error;
    if (!ReadCsv(text, records, error)) {
        if (otherSeparator)
            return separatedOtherwise();
        errors.push_back(error);
        return false;
    }
    if (records.empty()) {
        errors.push_back("the file is empty: it needs a header line naming its columns");
        return false;
    }
    const CsvRecord& header = records.front();
    table.headerLine = header.line;
    table.names.clear();
    std::set<std::string> seen;
    for (const std::string& name : header.fields) {
        const std::string trimmed = Trimmed(name);
        if (!trimmed.empty() && !seen.insert(Lowered(trimmed)).second)
            errors.push_back("line " + std::to_string(header.line) + ": the header names column " + ShortText(trimmed) +
                             " twice");
        table.names.push_back(trimmed);
    }
    if (!table.Column(required) && otherSeparator) {
        errors.resize(errorsBefore);
        return separatedOtherwise();
    }
    if (!table.Column(required))
        errors.push_back("line " + std::to_string(header.line) + ": the header has no " + required + " column");
    table.rows.assign(records.begin() + 1, records.end());
    for (const CsvRecord& row : table.rows) {
        if (row.fields.size() != header.fields.size())
            errors.push_back("line " + std::to_string(row.line) + ": " + std::to_string(row.fields.size()) +
                             " fields, but the header has " + std::to_string(header.fields.size()));
    }
    return errors.empty();
}
