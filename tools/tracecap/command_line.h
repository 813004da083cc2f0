// Arguments joined into one Windows command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments quoted so that the C runtime's parser (and
// CommandLineToArgvW) gives them back unchanged: an argument without blanks,
// tabs or quotes stands as it is; any other is put in quotes, with the
// backslashes before a quote or before the closing quote doubled.
std::string QuoteArgument(std::string_view argument);
std::string JoinCommandLine(const std::vector<std::string>& arguments);
