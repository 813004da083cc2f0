// A CSV file with a header line whose names say what each column holds, as
// nwctl reads its plans and inventories.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/csv.h"

struct CsvTable {
    int headerLine = 1;
    std::vector<std::string> names;  // the header's, blanks around them removed
    std::vector<CsvRecord> rows;     // every line after the header

    std::optional<std::size_t> Column(std::string_view name) const;
    // The row's cell of `column` without the blanks around it.
    static std::string Cell(const CsvRecord& row, std::size_t column);
};

// False, with one message per fault, when the CSV cannot be read, the file
// has no header, a name stands twice in it, `required` is missing from it,
// or a line has another number of fields than the header.
bool ReadCsvTable(std::string_view text, const char* required, CsvTable& table, std::vector<std::string>& errors);
