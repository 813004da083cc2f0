// Writing a whole file on Windows: a new file made exclusively beside the
// target, written, flushed, then moved over it.
#include <windows.h>

#include <algorithm>
#include <string>

#include "file_reading.h"
#include "file_writing.h"

namespace {

std::string Reason(const std::string& path)
{
    const DWORD code = GetLastError();
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return "cannot write " + ShortText(path, kPathShown) + ": " +
           (reason.empty() ? "error " + std::to_string(code) : reason);
}

HANDLE Handle(int descriptor)
{
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(descriptor));
}

}  // namespace

// The handle is kept in descriptor_: Windows handles fit in 32 bits.
ReplacingFile::~ReplacingFile()
{
    if (descriptor_ >= 0) {
        CloseHandle(Handle(descriptor_));
        DeleteFileA(temporary_.c_str());
    }
}

bool ReplacingFile::Open(const std::string& path, std::string& error)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "cannot write " + ShortText(path, kPathShown) + ": it is a folder";
        return false;
    }
    path_ = path;
    for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
        temporary_ = path + ".part-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        const HANDLE file =
            CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            descriptor_ = static_cast<int>(reinterpret_cast<INT_PTR>(file));
        else if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (descriptor_ < 0)
        error = Reason(path);
    return descriptor_ >= 0;
}

bool ReplacingFile::Commit(const std::string& text, std::string& error)
{
    const HANDLE file = Handle(descriptor_);
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) {
            error = Reason(path_);
            return false;
        }
        done += written;
    }
    if (!FlushFileBuffers(file)) {
        error = Reason(path_);
        return false;
    }
    const BOOL closed = CloseHandle(file);
    descriptor_ = -1;
    if (!closed ||
        !MoveFileExA(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = Reason(path_);
        DeleteFileA(temporary_.c_str());
        return false;
    }
    return true;
}
