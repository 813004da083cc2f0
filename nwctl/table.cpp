#include "table.h"

#include <algorithm>

std::string FormatTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths(header.size());
    for (std::size_t column = 0; column < header.size(); ++column) {
        widths[column] = header[column].size();
        for (const auto& row : rows) {
            if (column < row.size())
                widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string table;
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t column = 0; column < header.size(); ++column) {
            const std::string cell = column < cells.size() ? cells[column] : std::string();
            if (column > 0)
                text += "  ";
            text += cell;
            if (column + 1 < header.size())
                text.append(widths[column] - cell.size(), ' ');
        }
        text.erase(text.find_last_not_of(' ') + 1);
        table += text + '\n';
    };
    line(header);
    for (const auto& row : rows)
        line(row);
    return table;
}
