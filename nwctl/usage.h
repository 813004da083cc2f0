#pragma once

#include "args.h"

// The help of a command, or the program's for Command::None.
const char* UsageText(Command command);
