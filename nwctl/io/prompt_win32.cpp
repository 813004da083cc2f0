// The console on Windows: console modes for typing without echo, and for
// the escape sequences that redraw lines in place.
#include <windows.h>

#include <cstdio>

#include "io/prompt.h"

namespace {

HANDLE quietInput = nullptr;
DWORD savedMode = 0;

// Ctrl-C while the echo is off must not leave the console without it.
BOOL WINAPI RestoreOnInterrupt(DWORD)
{
    ::SetConsoleMode(quietInput, savedMode);
    return FALSE;
}

bool IsConsole(DWORD which)
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

// Whether the console acts on the escape sequences written to it, measured
// on a screen buffer of its own that is never shown: one that moves the
// cursor there does, one that shows the sequence as text does not. Wine's
// console takes the mode but shows them as text.
bool ConsoleTakesSequences()
{
    const HANDLE probe =
        ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    static const char kToRow2Column3[] = "\x1b[2;3H";
    DWORD written = 0;
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    const bool moved = ::SetConsoleMode(probe, ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING) &&
                       ::WriteConsoleA(probe, kToRow2Column3, sizeof kToRow2Column3 - 1, &written, nullptr) &&
                       ::GetConsoleScreenBufferInfo(probe, &screen) && screen.dwCursorPosition.X == 2 &&
                       screen.dwCursorPosition.Y == 1;
    ::CloseHandle(probe);
    return moved;
}

}  // namespace

bool InputIsTerminal()
{
    return IsConsole(STD_INPUT_HANDLE);
}

bool ErrorIsTerminal()
{
    return IsConsole(STD_ERROR_HANDLE);
}

// Consoles before Windows 10 refuse the mode; a console that takes it but
// shows the sequences as text gets its mode back, and lines.
bool OutputDrawsInPlace()
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!::GetConsoleMode(output, &mode) || !::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
        return false;
    if (ConsoleTakesSequences())
        return true;
    ::SetConsoleMode(output, mode);
    return false;
}

std::optional<std::size_t> TerminalColumns()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info))
        return std::nullopt;
    const SHORT width = info.srWindow.Right - info.srWindow.Left + 1;
    if (width <= 0)
        return std::nullopt;
    return static_cast<std::size_t>(width);
}

bool EchoOff()
{
    quietInput = ::GetStdHandle(STD_INPUT_HANDLE);
    if (!::GetConsoleMode(quietInput, &savedMode))
        return false;
    ::SetConsoleCtrlHandler(RestoreOnInterrupt, TRUE);
    ::SetConsoleMode(quietInput, savedMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    return true;
}

void EchoOn()
{
    ::SetConsoleMode(quietInput, savedMode);
    ::SetConsoleCtrlHandler(RestoreOnInterrupt, FALSE);
    // The console shows no line end for the line typed unseen.
    std::fputs("\n", stderr);
}
