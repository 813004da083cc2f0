// Columns aligned for a terminal: each as wide as its widest cell, two
// blanks between them, no blanks after the last. The cells must be safe to
// show already (SafeText).
#pragma once

#include <string>
#include <vector>

std::string FormatTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows);
