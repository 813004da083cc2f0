// The commands nwctl knows.
#pragma once

#include "cli/command_entry.h"

extern const CommandTable kCommandTable;
