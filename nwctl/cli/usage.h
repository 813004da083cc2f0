// The program's help: what it is for, its commands as the command table
// lists them, and what every command shares.
#pragma once

#include <string>

#include "cli/command_entry.h"

std::string ProgramHelp(const CommandTable& commands);
