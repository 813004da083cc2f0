// Stop requests on Windows: the console calls the control handler on a
// thread of its own; it notes the request and sets an event that the wait
// waits on.
#include <windows.h>

#include <atomic>
#include <string>

#include "stop_request.h"

namespace {

std::atomic<bool> requested{false};
HANDLE wakeUp = nullptr;

BOOL WINAPI OnControl(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;  // closing the console or logging off ends nwctl as usual
    requested = true;
    ::SetEvent(wakeUp);
    return TRUE;
}

}  // namespace

bool CatchStopRequests(std::string& error)
{
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
