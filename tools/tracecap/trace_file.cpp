#include "trace_file.h"

TraceFile::~TraceFile()
{
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
}

bool TraceFile::Create(const char* path)
{
    file = ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE;
}

bool TraceFile::WriteLine(const std::string& line)
{
    // One write per line, unbuffered here, so a reader never sees half a
    // line followed by nothing for long.
    const std::string text = line + "\n";
    DWORD written = 0;
    return ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}
