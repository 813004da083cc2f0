// The table of commands, and running one command line.
#pragma once

#include <string>
#include <vector>

#include "command_support.h"
#include "json.h"

enum class Outcome { Done = 0, Failed = 1, Misused = 2 };

struct CommandResult {
    Outcome outcome;
    // {"ok": true, "command": NAME, ...} or {"ok": false, "error": TEXT, ...}.
    Json answer;
};

// words[0] is the command's name, the rest its arguments.
CommandResult RunCommand(Context& context, const std::vector<std::string>& words);
// The commands part of the usage text.
std::string CommandsHelp();
