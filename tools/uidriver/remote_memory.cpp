#include "remote_memory.h"

#include <string>

#include "errors.h"
#include "messages.h"

RemoteMemory::RemoteMemory(HWND window, size_t size) : size_(size)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ == nullptr) {
        throw DriverError("the memory of process " + std::to_string(pid) + " cannot be opened (" +
                          SystemErrorText(GetLastError()) + ")");
    }
    base_ = static_cast<BYTE*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (base_ == nullptr) {
        DWORD error = GetLastError();
        CloseHandle(process_);
        throw DriverError("no memory could be had in process " + std::to_string(pid) + " (" + SystemErrorText(error) +
                          ")");
    }
}

RemoteMemory::~RemoteMemory()
{
    VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

LPARAM RemoteMemory::At(size_t offset) const
{
    return reinterpret_cast<LPARAM>(base_ + offset);
}

void RemoteMemory::Check(size_t offset, size_t size) const
{
    if (offset > size_ || size > size_ - offset) {
        throw DriverError("internal: access beyond the target memory block");
    }
}

void RemoteMemory::Write(size_t offset, const void* data, size_t size)
{
    Check(offset, size);
    SIZE_T written = 0;
    if (!WriteProcessMemory(process_, base_ + offset, data, size, &written) || written != size) {
        throw DriverError("the target's memory could not be written (" + SystemErrorText(GetLastError()) + ")");
    }
}

void RemoteMemory::Read(size_t offset, void* data, size_t size) const
{
    Check(offset, size);
    SIZE_T read = 0;
    if (!ReadProcessMemory(process_, base_ + offset, data, size, &read) || read != size) {
        throw DriverError("the target's memory could not be read (" + SystemErrorText(GetLastError()) + ")");
    }
}
