// The operator's terminal: the prompt's flow in prompt.cpp, the terminal
// itself one implementation per platform (prompt_posix.cpp,
// prompt_win32.cpp).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

bool InputIsTerminal();
bool ErrorIsTerminal();
// Standard output is a terminal that takes the escape sequences that redraw
// lines in place (on Windows, once its console is told to take them).
bool OutputDrawsInPlace();

// The width in characters of the terminal standard output shows on: COLUMNS
// where it holds one, else the terminal's own; none when standard output is
// no terminal (a file or a pipe takes whole lines).
std::optional<std::size_t> OutputColumns();
// Per platform: the terminal's width as it tells it; none for no terminal.
std::optional<std::size_t> TerminalColumns();

// Shows `prompt` on standard error and reads one line typed at the terminal,
// without its line end. With `secret` the typing does not show: the echo is
// off before the prompt shows, so nothing typed after it can show either.
// False at the end of input.
bool AskTerminal(const std::string& prompt, std::string& line, bool secret);

// Per platform: EchoOff turns the echo of the typing off, false when the
// input is no terminal; EchoOn puts it back as it was. Either way the line
// end of what was typed unseen shows.
bool EchoOff();
void EchoOn();
