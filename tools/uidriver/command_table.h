// The table of commands, and running one command line.
#pragma once

#include <string>
#include <vector>

#include "command_support.h"
#include "json.h"

// Runs one command; words[0] is its name, the rest its arguments. Answers
// {"ok": true, "command": NAME, ...} or {"ok": false, "error": TEXT, ...}.
Json RunCommand(Context& context, const std::vector<std::string>& words);
// The commands part of the usage text.
std::string CommandsHelp();
