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

bool ReadLine(std::string& line)
{
    line.clear();
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
        line += buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
    }
    return !line.empty();
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

bool AskTerminal(const std::string& prompt, std::string& line, bool secret)
{
    const auto show = [&prompt] {
        std::fputs(prompt.c_str(), stderr);
        std::fflush(stderr);
    };
    quietInput = ::GetStdHandle(STD_INPUT_HANDLE);
    if (!secret || !::GetConsoleMode(quietInput, &savedMode)) {
        show();
        return ReadLine(line);
    }
    ::SetConsoleCtrlHandler(RestoreOnInterrupt, TRUE);
    ::SetConsoleMode(quietInput, savedMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    show();
    const bool read = ReadLine(line);
    ::SetConsoleMode(quietInput, savedMode);
    ::SetConsoleCtrlHandler(RestoreOnInterrupt, FALSE);
    std::fputs("\n", stderr);
    return read;
}
