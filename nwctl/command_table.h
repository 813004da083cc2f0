// The commands nwctl knows.
#pragma once

#include "command_entry.h"

extern const CommandTable kCommandTable;
