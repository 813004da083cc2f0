// CSV as RFC 4180 has it: fields joined by commas, a field holding a comma,
// a quotation mark or a line break is quoted, and a quotation mark inside
// quotes is doubled. Files edited in a spreadsheet are read back too: CR LF
// or LF line ends, a UTF-8 byte-order mark first, line breaks inside quotes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A text that a spreadsheet would take for a formula, one that starts with
// = + - @, a tab or a carriage return, is written after a single quote, so
// that the spreadsheet shows it as text; read back, the quote is part of it.
std::string CsvField(std::string_view text);

// The fields joined by commas, then a line feed.
std::string CsvLine(const std::vector<std::string>& fields);

struct CsvRecord {
    int line;  // where the record starts, from 1
    std::vector<std::string> fields;
};

// Every record of `text`; empty lines are skipped. False, with `error`
// naming the line, on a quotation mark out of place or one never closed.
bool ReadCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& error);
