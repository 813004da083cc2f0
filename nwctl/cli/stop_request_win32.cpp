// Stop requests on Windows: the console calls the control handler on a
// thread of its own; it notes the request and sets an event that the wait
// waits on. The process ends when its main thread returns, whatever the
// handler is doing then.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>

#include "cli/exit_codes.h"
#include "cli/stop_request.h"

namespace {

std::atomic<bool> requested{false};
HANDLE wakeUp = nullptr;
const char* noticeText = nullptr;

// Closing the console, logging off or shutting down: the system ends the
// process when the handler returns, or after its own limit (5 seconds for
// a closed console). Until then the run goes on to its stopping point.
constexpr DWORD kCloseGraceMs = 5000;

BOOL WINAPI OnControl(DWORD type)
{
    const bool closing = type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT;
    if (requested.exchange(true)) {
        if (!closing)
            ::TerminateProcess(::GetCurrentProcess(), kExitInterrupted);  // the second: at once
    } else {
        ::SetEvent(wakeUp);
        DWORD written = 0;
        if (noticeText && !closing)
            ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), noticeText, static_cast<DWORD>(std::strlen(noticeText)),
                        &written, nullptr);
    }
    if (closing)
        ::Sleep(kCloseGraceMs);
    return TRUE;
}

}  // namespace

bool CatchStopRequests(std::string& error, const char* notice)
{
    noticeText = notice;
    wakeUp = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!wakeUp || !::SetConsoleCtrlHandler(OnControl, TRUE)) {
        error = "cannot catch Ctrl-C: error " + std::to_string(::GetLastError());
        return false;
    }
    return true;
}

bool StopRequested()
{
    return requested;
}

bool WaitForStopRequest(int milliseconds)
{
    if (!requested)
        ::WaitForSingleObject(wakeUp, static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds));
    return requested;
}
