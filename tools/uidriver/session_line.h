// One command line of a session, split into words. A line that begins
// with '[' is a JSON array of strings, in which \u0000 to \u00ff stand for
// single ANSI bytes (the same encoding as the answers); any other line is
// split at blanks, with "double quotes" around a word that holds blanks
// (\" and \\ inside quotes).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Throws UsageError when the line cannot be split.
std::vector<std::string> SplitSessionLine(std::string_view line);
