// The terminal on Linux: termios for typing without echo.
#include <signal.h>
#include <termios.h>
#include <unistd.h>

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

}  // namespace

bool InputIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

bool ErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

bool EchoOff()
{
    if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
        return false;
    struct sigaction interrupt {};
    interrupt.sa_handler = RestoreAndInterrupt;
    sigemptyset(&interrupt.sa_mask);
    sigaction(SIGINT, &interrupt, &savedInterrupt);
    termios quiet = savedTerminal;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    quiet.c_lflag |= ECHONL;
    // TCSANOW: what is typed already stays to be read.
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    return true;
}

void EchoOn()
{
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    sigaction(SIGINT, &savedInterrupt, nullptr);
}
