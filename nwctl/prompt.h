// The operator's terminal, one implementation per platform
// (prompt_posix.cpp, prompt_win32.cpp).
#pragma once

#include <string>

bool InputIsTerminal();
bool ErrorIsTerminal();

// One line typed at the terminal, without its line end; with `secret` the
// typing does not show. False at the end of input.
bool ReadTerminalLine(std::string& line, bool secret);
