#include "io/csv.h"

std::string CsvField(std::string_view text)
{
    // A spreadsheet takes a cell that starts with one of these for a formula.
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    std::string cell(text);
    if (!cell.empty() && kFormulaStarts.find(cell.front()) != std::string_view::npos)
        cell.insert(0, 1, '\'');
    if (cell.find_first_of(",\"\r\n") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += CsvField(fields[i]);
    }
    return line + '\n';
}

bool ReadCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& error)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    records.clear();
    int line = 1;
    std::size_t at = 0;
    // A line break: CR LF, LF or a lone CR.
    const auto lineBreak = [&text](std::size_t i) -> std::size_t {
        if (text[i] == '\n')
            return 1;
        if (text[i] == '\r')
            return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        return 0;
    };
    while (at < text.size()) {
        if (const std::size_t skip = lineBreak(at)) {
            at += skip;
            ++line;
            continue;
        }
        CsvRecord record{line, {}};
        while (true) {
            std::string field;
            if (at < text.size() && text[at] == '"') {
                const int opened = line;
                ++at;
                while (true) {
                    if (at >= text.size()) {
                        error = "line " + std::to_string(opened) + ": a quoted field is never closed";
                        return false;
                    }
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field += '"';
                            at += 2;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    if (const std::size_t skip = lineBreak(at)) {
                        field.append(text.substr(at, skip));
                        at += skip;
                        ++line;
                        continue;
                    }
                    field += text[at++];
                }
                if (at < text.size() && text[at] != ',' && !lineBreak(at)) {
                    error = "line " + std::to_string(line) + ": text after a closing quotation mark";
                    return false;
                }
            } else {
                while (at < text.size() && text[at] != ',' && !lineBreak(at)) {
                    if (text[at] == '"') {
                        error = "line " + std::to_string(line) +
                                ": a quotation mark inside a field that does not start with one";
                        return false;
                    }
                    field += text[at++];
                }
            }
            record.fields.push_back(std::move(field));
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            break;
        }
        records.push_back(std::move(record));
        if (at < text.size()) {
            at += lineBreak(at);
            ++line;
        }
    }
    return true;
}
