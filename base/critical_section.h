// The Win32 critical section, and on the native test host the same four
// calls over a standard mutex, so that code guarded by one builds and runs
// under the sanitizers there.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>

struct CRITICAL_SECTION {
    std::mutex mutex;
};

inline void InitializeCriticalSection(CRITICAL_SECTION*) {}
inline void DeleteCriticalSection(CRITICAL_SECTION*) {}
inline void EnterCriticalSection(CRITICAL_SECTION* section)
{
    section->mutex.lock();
}
inline void LeaveCriticalSection(CRITICAL_SECTION* section)
{
    section->mutex.unlock();
}
#endif
