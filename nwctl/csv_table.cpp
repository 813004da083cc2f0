#include "csv_table.h"

#include "safe_text.h"

namespace {

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
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name)
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
    std::vector<CsvRecord> records;
    std::string error;
    if (!ReadCsv(text, records, error)) {
        errors.push_back(error);
        return false;
    }
    if (records.empty()) {
        errors.push_back("the file is empty: it needs a header line naming its columns");
        return false;
    }
    const CsvRecord& header = records.front();
    table.names.clear();
    for (const std::string& name : header.fields) {
        const std::string trimmed = Trimmed(name);
        if (!trimmed.empty() && table.Column(trimmed))
            errors.push_back("line " + std::to_string(header.line) + ": the header names column " + SafeText(trimmed) +
                             " twice");
        table.names.push_back(trimmed);
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
