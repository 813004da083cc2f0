// Ending the processes that have a module of a given name loaded.
#include <windows.h>
#include <tlhelp32.h>

#include "viewer_steps.h"

// The ANSI records, as the snapshot functions of this build fill them: a
// record of another size would be refused by the system (dwSize).
#ifdef _WIN64
static_assert(sizeof(PROCESSENTRY32) == 304 && sizeof(MODULEENTRY32) == 568,
              "the process and module records must be the 64-bit ANSI ones");
#else
static_assert(sizeof(PROCESSENTRY32) == 296 && sizeof(MODULEENTRY32) == 548,
              "the process and module records must be the 32-bit ANSI ones");
#endif
// Every right of a process; headers for Windows before Vista give fewer.
static_assert(PROCESS_ALL_ACCESS == 0x1FFFFF);

bool CloseProcessesWithModule(const std::string& processName)
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        if (!ProcessHasModule(entry.th32ProcessID, processName))
            continue;
        // A process that cannot be opened or ended is passed over: deleting a
        // file it still holds then fails and says so in the trace.
        if (const HANDLE process = ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID)) {
            ::TerminateProcess(process, 0);
            ::CloseHandle(process);
        }
    }
    ::CloseHandle(snapshot);
    return true;
}

bool ProcessHasModule(DWORD processId, const std::string& moduleName)
{
    // No snapshot when the process has ended or refuses access: it is not one of them.
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Module32First(snapshot, &entry); more && !found; more = ::Module32Next(snapshot, &entry))
        found = moduleName == entry.szModule;  // byte for byte, case included
    ::CloseHandle(snapshot);
    return found;
}
