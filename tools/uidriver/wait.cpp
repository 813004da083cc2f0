#include "wait.h"

#include <chrono>

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition)
{
    // Not GetTickCount64: under Wine it advances in steps of several
    // milliseconds, and a wait could end before its limit.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition()) {
            return true;
        }
        Clock::time_point now = Clock::now();
        if (now >= deadline) {
            return false;
        }
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        Sleep(static_cast<DWORD>(left < kPollMs ? left : kPollMs));
    }
}
