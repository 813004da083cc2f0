// Columns aligned for a terminal: each as wide as its widest cell, two
// blanks between them, no blanks after the last. The cells must be safe to
// show already (SafeText).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What ends a cell cut to fit: ASCII, as every cell is, so that it shows in
// every console code page.
constexpr char kCutMarker = '~';

// The columns' widths cut to fit `available` characters, two blanks between
// columns included: the widest column loses a character at a time (the
// last of the widest where they tie), none below its floor. Widths that fit
// already are kept; so are the floors where even they do not fit.
std::vector<std::size_t> FitWidths(const std::vector<std::size_t>& widths, const std::vector<std::size_t>& floors,
                                   std::size_t available);

// With `width`, a table wider than that many characters has the longest
// cells of the columns that `cut` names (by position) cut to fit
// (FitWidths, a column not narrower than its header or 8), each ending in
// kCutMarker; the other columns stay whole.
std::string FormatTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                        std::optional<std::size_t> width = std::nullopt, const std::vector<bool>& cut = {});
