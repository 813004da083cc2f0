// One command line of a session: a JSON array of strings, its words, in
// which \u0000 to \u00ff stand for single ANSI bytes (the same encoding as
// the answers).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Throws UsageError when the line cannot be split.
std::vector<std::string> SplitSessionLine(std::string_view line);
