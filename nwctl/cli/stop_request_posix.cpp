// Stop requests on Linux: the signal handler notes the request and writes
// a byte to a pipe that the wait polls (the self-pipe), so that a signal
// that comes just before the wait still wakes it. Only calls that are safe
// in a signal handler.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "cli/stop_request.h"

namespace {

volatile sig_atomic_t requested = 0;
int wakeUp[2] = {-1, -1};
const char* noticeText = nullptr;
std::size_t noticeLength = 0;

void OnStop(int number)
{
    if (requested) {
        // The second: the default action, taken as the handler returns and
        // the signal is unblocked. Every audit line is flushed as written.
        signal(number, SIG_DFL);
        raise(number);
        return;
    }
    const int saved = errno;
    requested = 1;
    // A full pipe already holds a wake-up; nothing more to do then.
    const ssize_t written = write(wakeUp[1], "", 1);
    static_cast<void>(written);
    if (noticeText) {
        const ssize_t said = write(STDERR_FILENO, noticeText, noticeLength);
        static_cast<void>(said);
    }
    errno = saved;
}

bool NonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags != -1 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

}  // namespace

bool CatchStopRequests(std::string& error, const char* notice)
{
    noticeText = notice;
    noticeLength = notice ? std::strlen(notice) : 0;
    if (pipe(wakeUp) != 0 || !NonBlocking(wakeUp[0]) || !NonBlocking(wakeUp[1])) {
        error = std::string("cannot prepare for Ctrl-C: ") + std::strerror(errno);
        return false;
    }
    struct sigaction action {};
    action.sa_handler = OnStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) != 0 ||
            (before.sa_handler != SIG_IGN && sigaction(signal, &action, nullptr) != 0)) {
            error = std::string("cannot catch Ctrl-C: ") + std::strerror(errno);
            return false;
        }
    }
    return true;
}

bool StopRequested()
{
    return requested != 0;
}

bool WaitForStopRequest(int milliseconds)
{
    if (!requested) {
        pollfd waiting{wakeUp[0], POLLIN, 0};
        // Interrupted by the signal itself (EINTR): the flag says so. Any
        // other failure waits out the time, so that the caller's loop
        // does not spin.
        if (poll(&waiting, 1, milliseconds) < 0 && errno != EINTR) {
            const timespec rest{milliseconds / 1000, milliseconds % 1000 * 1000000L};
            nanosleep(&rest, nullptr);
        }
    }
    return requested != 0;
}
