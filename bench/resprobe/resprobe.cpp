// Samples a running program's resources from outside, by its main window:
// private bytes, handles, USER and GDI objects, and its windows. Wine answers
// GetGuiResources, and for another process GetProcessMemoryInfo and
// GetProcessHandleCount, with 0; there the handles are counted in the
// system's handle list, the GDI objects in the process's GDI handle table
// (its PEB points to it), and the USER objects and private bytes are left to
// other means (the windows, the main share of USER objects, are counted here).
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

namespace {

int Usage()
{
    std::fputs(
        "usage: resprobe CAPTION\n"
        "Finds the window with the exact CAPTION and writes one line about its process:\n"
        "  pid PID private BYTES handles N user N gdi N windows N source S\n"
        "private: GetProcessMemoryInfo's PrivateUsage; handles: GetProcessHandleCount;\n"
        "user, gdi: GetGuiResources (GR_USEROBJECTS, GR_GDIOBJECTS); windows: the process's\n"
        "top-level, child and message-only windows. Under Wine, whose GetGuiResources answers 0,\n"
        "handles counts the process's entries of the system's handle list, gdi the live entries\n"
        "of its GDI handle table, user and private are -1 (unknown), and source says \"wine\"\n"
        "(else \"system\"). A figure that cannot be had is -1. Exits 1 when the window is missing.\n",
        stderr);
    return 2;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param)
{
    auto* windows = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == windows->pid)
        ++windows->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param)
{
    auto* windows = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == windows->pid) {
        ++windows->count;
        ::EnumChildWindows(window, CountChild, param);
    }
    return TRUE;
}

long CountWindows(DWORD pid)
{
    WindowCount windows = {pid, 0};
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    // Message-only windows (a socket's notification window) are not listed
    // by EnumWindows.
    for (HWND window = nullptr; (window = ::FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr;)
        CountChild(window, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

bool UnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// Wine keeps each process's GDI objects in a table of 0x10000 entries of 24
// bytes (object, owner, unique, type, flags, user pointer) that the PEB's
// GdiSharedHandleTable points to; an entry in use has a type.
long CountWineGdiObjects(HANDLE process)
{
    constexpr size_t kEntries = 0x10000;
    constexpr size_t kEntryBytes = 24;
    constexpr size_t kTypeOffset = 14;
    // GdiSharedHandleTable in a 32-bit PEB.
    constexpr size_t kPebTableOffset = 0x94;

    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    DWORD table = 0;
    const auto* tableField = reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kPebTableOffset;
    if (!::ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || !table)
        return -1;
    std::vector<BYTE> entries(kEntries * kEntryBytes);
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<UINT_PTR>(table)), entries.data(),
                             entries.size(), nullptr))
        return -1;
    long live = 0;
    for (size_t i = 0; i < kEntries; ++i) {
        if (entries[i * kEntryBytes + kTypeOffset] != 0)
            ++live;
    }
    return live;
}

// Wine answers GetProcessHandleCount for another process with 0; its list of
// every process's handles (SystemHandleInformation) is complete.
long CountWineHandles(DWORD pid)
{
    struct HandleEntry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    struct HandleList {
        ULONG count;
        HandleEntry entries[1];
    };
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

    using QuerySystem = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<BYTE> buffer(64 * 1024);
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    long owned = 0;
    for (ULONG i = 0; i < list->count; ++i) {
        if (list->entries[i].ownerPid == pid)
            ++owned;
    }
    return owned;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return Usage();
    const HWND window = ::FindWindowA(nullptr, argv[1]);
    DWORD pid = 0;
    if (!window || !::GetWindowThreadProcessId(window, &pid)) {
        std::fprintf(stderr, "resprobe: no window \"%s\"\n", argv[1]);
        return 1;
    }
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        std::fprintf(stderr, "resprobe: cannot open process %lu (error %lu)\n", pid, ::GetLastError());
        return 1;
    }
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    long long privateBytes = -1;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        privateBytes = static_cast<long long>(memory.PrivateUsage);
    DWORD handleCount = 0;
    long handles = ::GetProcessHandleCount(process, &handleCount) ? static_cast<long>(handleCount) : -1;
    long user = static_cast<long>(::GetGuiResources(process, GR_USEROBJECTS));
    long gdi = static_cast<long>(::GetGuiResources(process, GR_GDIOBJECTS));
    const bool wine = user == 0 && gdi == 0 && UnderWine();
    if (wine) {
        user = -1;
        gdi = CountWineGdiObjects(process);
        if (handles <= 0)
            handles = CountWineHandles(pid);
        if (privateBytes == 0)
            privateBytes = -1;
    }
    const long windows = CountWindows(pid);
    ::CloseHandle(process);
    std::printf("pid %lu private %lld handles %ld user %ld gdi %ld windows %ld source %s\n", pid, privateBytes, handles,
                user, gdi, windows, wine ? "wine" : "system");
    return 0;
}
