// Writing a whole file on Windows: a new file made exclusively beside the
// target, written, flushed, then moved over it.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "io/file_writing.h"
#include "io/safe_text.h"

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
    return "cannot write " + PathText(path) + ": " + (reason.empty() ? "error " + std::to_string(code) : reason);
}

// What holds the name. Device names (NUL, CON, COM1, also in a folder) are
// devices whatever the folder holds: the system's full path for them is
// \\.\NAME. For the rest, the object itself says: a handle opened on it
// (on a link itself, not where it points) tells a device or a pipe from a
// file, and a file's attributes a folder or a link (a reparse point).
// Missing when nothing holds the name; Other, with GetLastError, when
// nothing can be told.
FileKind KindAt(const std::string& path)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length > 0 && length < sizeof full && std::strncmp(full, "\\\\.\\", 4) == 0)
        return FileKind::Device;
    const HANDLE file =
        CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? FileKind::Missing : FileKind::Other;
    }
    const DWORD type = GetFileType(file);
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = type == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (type == FILE_TYPE_CHAR)
        return FileKind::Device;
    if (type == FILE_TYPE_PIPE)
        return FileKind::Pipe;
    if (!known)
        return FileKind::Other;
    const DWORD attributes = information.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FileKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileKind::Folder;
    return attributes & FILE_ATTRIBUTE_READONLY ? FileKind::ReadOnly : FileKind::Regular;
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
    const FileKind kind = KindAt(path);
    const std::string refusal = NotReplaced(kind, {});
    if (!refusal.empty()) {
        // Other: the system's reason why nothing could be told.
        error = kind == FileKind::Other ? Reason(path) : "cannot write " + PathText(path) + ": " + refusal;
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
