// The terminal on Linux: termios for typing without echo.
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "prompt.h"

namespace {

termios savedTerminal;
struct sigaction savedInterrupt;

// Ctrl-C while the echo is off must not leave the terminal without it.
void RestoreAndInterrupt(int signal)
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    sigaction(SIGINT, &savedInterrupt, nullptr);
    raise(signal);
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
    return isatty(STDIN_FILENO) == 1;
}

bool ErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

bool ReadTerminalLine(std::string& line, bool secret)
{
    if (!secret || tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
        return ReadLine(line);
    struct sigaction interrupt {};
    interrupt.sa_handler = RestoreAndInterrupt;
    sigemptyset(&interrupt.sa_mask);
    sigaction(SIGINT, &interrupt, &savedInterrupt);
    termios quiet = savedTerminal;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    quiet.c_lflag |= ECHONL;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const bool read = ReadLine(line);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    sigaction(SIGINT, &savedInterrupt, nullptr);
    return read;
}
