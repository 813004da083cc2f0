// The terminal on Linux: termios for typing without echo.
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#include <sys/ioctl.h>

#include <cstddef>

#include "io/prompt.h"

namespace {

// The signals that end nwctl at the prompt: Ctrl-C, a kill, the terminal
// closed. Each, while the echo is off, puts the terminal back first.
constexpr int kEnding[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kEndingCount = sizeof kEnding / sizeof kEnding[0];

termios savedTerminal;
struct sigaction savedActions[kEndingCount];
volatile sig_atomic_t caught[kEndingCount];

void RestoreActions()
{
    for (std::size_t i = 0; i < kEndingCount; ++i) {
        if (caught[i])
            sigaction(kEnding[i], &savedActions[i], nullptr);
        caught[i] = false;
    }
}

// The signal is raised again under the action it had, the default, so that
// nwctl ends as it would have and its exit status says the signal.
void RestoreAndEnd(int signal)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    RestoreActions();
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

bool OutputDrawsInPlace()
{
    return isatty(STDOUT_FILENO) == 1;
}

std::optional<std::size_t> TerminalColumns()
{
    winsize size{};
    if (isatty(STDOUT_FILENO) != 1 || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return std::nullopt;
    return size.ws_col;
}

bool EchoOff()
{
    if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
        return false;
    struct sigaction restore {};
    restore.sa_handler = RestoreAndEnd;
    sigemptyset(&restore.sa_mask);
    for (const int signal : kEnding)
        sigaddset(&restore.sa_mask, signal);
    for (std::size_t i = 0; i < kEndingCount; ++i) {
        // A signal ignored from the start (nohup) stays ignored.
        caught[i] = sigaction(kEnding[i], nullptr, &savedActions[i]) == 0 && savedActions[i].sa_handler != SIG_IGN &&
                    sigaction(kEnding[i], &restore, nullptr) == 0;
    }
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
    RestoreActions();
}
