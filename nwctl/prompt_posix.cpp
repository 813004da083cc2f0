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
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
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

bool AskTerminal(const std::string& prompt, std::string& line, bool secret)
{
    const auto show = [&prompt] {
        std::fputs(prompt.c_str(), stderr);
        std::fflush(stderr);
    };
    if (!secret || tcgetattr(STDIN_FILENO, &savedTerminal) != 0) {
        show();
        return ReadLine(line);
    }
    struct sigaction interrupt {};
    interrupt.sa_handler = RestoreAndInterrupt;
    sigemptyset(&interrupt.sa_mask);
    sigaction(SIGINT, &interrupt, &savedInterrupt);
    termios quiet = savedTerminal;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    quiet.c_lflag |= ECHONL;
    // TCSANOW: what is typed already stays to be read.
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    show();
    const bool read = ReadLine(line);
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    sigaction(SIGINT, &savedInterrupt, nullptr);
    return read;
}
