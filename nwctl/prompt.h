// The operator's terminal, one implementation per platform
// (prompt_posix.cpp, prompt_win32.cpp).
#pragma once

#include <string>

bool InputIsTerminal();
bool ErrorIsTerminal();

// Shows `prompt` on standard error and reads one line typed at the terminal,
// without its line end. With `secret` the typing does not show: the echo is
// off before the prompt shows, so nothing typed after it can show either.
// False at the end of input.
bool AskTerminal(const std::string& prompt, std::string& line, bool secret);
