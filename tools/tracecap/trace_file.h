// tracecap's output: one line per trace text, each written through at once
// so that a reader sees it while the debuggee still runs.
#pragma once

#include <windows.h>

#include <string>

class TraceFile {
public:
    TraceFile() = default;
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Makes the file anew; readers may open it meanwhile.
    bool Create(const char* path);
    // Writes `line` and a line end; false when not all of it was written.
    bool WriteLine(const std::string& line);

private:
    HANDLE file = INVALID_HANDLE_VALUE;
};
