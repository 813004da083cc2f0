// The console on Windows: console modes for typing without echo.
#include <windows.h>

#include <cstdio>

#include "prompt.h"

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

}  // namespace

bool InputIsTerminal()
{
    return IsConsole(STD_INPUT_HANDLE);
}

bool ErrorIsTerminal()
{
    return IsConsole(STD_ERROR_HANDLE);
}

bool OutputDrawsInPlace()
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return ::GetConsoleMode(output, &mode) && ::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
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
