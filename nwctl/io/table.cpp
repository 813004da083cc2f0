#include "io/table.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

constexpr std::size_t kGap = 2;
// A cut column keeps at least this many characters, or its header's.
constexpr std::size_t kNarrowestCut = 8;

}  // namespace

std::vector<std::size_t> FitWidths(const std::vector<std::size_t>& widths, const std::vector<std::size_t>& floors,
                                   std::size_t available)
{
    std::vector<std::size_t> fitted = widths;
    if (fitted.empty())
        return fitted;
    std::size_t total = std::accumulate(fitted.begin(), fitted.end(), kGap * (fitted.size() - 1));
    while (total > available) {
        std::size_t widest = fitted.size();
        for (std::size_t i = 0; i < fitted.size(); ++i) {
            if (fitted[i] > std::min(floors[i], widths[i]) && (widest == fitted.size() || fitted[i] >= fitted[widest]))
                widest = i;
        }
        if (widest == fitted.size())
            break;
        --fitted[widest];
        --total;
    }
    return fitted;
}

std::string FormatTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                        std::optional<std::size_t> width, const std::vector<bool>& cut)
{
    std::vector<std::size_t> widths(header.size()), floors(header.size());
    for (std::size_t column = 0; column < header.size(); ++column) {
        widths[column] = header[column].size();
        floors[column] = column < cut.size() && cut[column] ? std::max(header[column].size(), kNarrowestCut)
                                                            : std::numeric_limits<std::size_t>::max();
        for (const auto& row : rows) {
            if (column < row.size())
                widths[column] = std::max(widths[column], row[column].size());
        }
    }
    if (width)
        widths = FitWidths(widths, floors, *width);
    std::string table;
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t column = 0; column < header.size(); ++column) {
            std::string cell = column < cells.size() ? cells[column] : std::string();
            if (cell.size() > widths[column]) {
                cell.resize(widths[column] - 1);
                cell += kCutMarker;
            }
            if (column > 0)
                text.append(kGap, ' ');
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
