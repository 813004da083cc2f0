// tracecap: starts a program as a debuggee and writes every text it sends to
// the debugger output to a file, one line each. See usage.cpp.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "debug_loop.h"
#include "trace_file.h"
#include "usage.h"

int main(int argc, char** argv)
{
    if (argc >= 2 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        std::fputs(kTracecapUsage, stdout);
        return 0;
    }
    if (argc < 3) {
        std::fputs(kTracecapUsage, stderr);
        return 2;
    }

    TraceFile output;
    if (!output.Create(argv[1])) {
        std::fprintf(stderr, "tracecap: cannot make %s (error %lu)\n", argv[1], ::GetLastError());
        return 3;
    }

    std::string commandLine = JoinCommandLine(std::vector<std::string>(argv + 2, argv + argc));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                          nullptr, &startup, &started)) {
        std::fprintf(stderr, "tracecap: cannot start %s (error %lu)\n", commandLine.c_str(), ::GetLastError());
        return 3;
    }

    unsigned unwritten = 0;
    const DebugRunResult run = RunDebugLoop(started.hProcess, [&](const std::string& line) {
        if (!output.WriteLine(line))
            ++unwritten;
    });
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);

    if (unwritten)
        std::fprintf(stderr, "tracecap: %u trace lines could not be written to %s\n", unwritten, argv[1]);
    if (!run.debuggeeEnded)
        return 1;
    std::fprintf(stderr, "tracecap: %s ended with exit code %lu\n", argv[2], run.exitCode);
    return run.unreadableTexts || unwritten ? 1 : 0;
}
