// A block of memory in the target's process, for the control messages
// that the system does not carry across processes (the list view's and
// the header's): the structure goes there, the control fills it in, the
// driver reads it back. Freed when the object goes.
#pragma once

#include <windows.h>

#include <cstddef>

class RemoteMemory {
public:
    // Memory in the process of the window. Throws DriverError.
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The target's address of a byte of the block, as a message parameter.
    LPARAM At(size_t offset) const;
    void Write(size_t offset, const void* data, size_t size);
    void Read(size_t offset, void* data, size_t size) const;

private:
    void Check(size_t offset, size_t size) const;

    HANDLE process_ = nullptr;
    BYTE* base_ = nullptr;
    size_t size_ = 0;
};
