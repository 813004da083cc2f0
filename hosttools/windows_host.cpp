#include "windows_host.h"

SystemDirectoryCheck ReadSystemDirectory()
{
    char directory[SYSTEM_DIRECTORY_BUFFER] = {};
    const UINT length = ::GetSystemDirectoryA(directory, sizeof directory);
    return CheckSystemDirectory(std::string_view(directory, sizeof directory), length);
}

bool StartProgram(const std::string& application, std::string commandLine, const char* folder, DWORD waitMs)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                          &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, waitMs);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
