// What the host tools ask of Windows itself: the system folder, and
// starting a program by its full path.
#pragma once

#include <windows.h>

#include <string>

#include "viewer_paths.h"

// The system folder as GetSystemDirectoryA gives it, or why it cannot be
// trusted (CheckSystemDirectory).
SystemDirectoryCheck ReadSystemDirectory();

// Starts `application`, a full path that nothing is searched for, with
// `commandLine` as the command line the program sees, its window shown, in
// `folder` (null: this process's current folder), then waits up to
// `waitMs` for it to end. False when it could not be started, with
// GetLastError saying why.
bool StartProgram(const std::string& application, std::string commandLine, const char* folder, DWORD waitMs);
