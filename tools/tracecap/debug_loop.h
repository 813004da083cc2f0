// The debugger's side of one debuggee: every event taken and continued,
// every debug-output text handed on, until the debuggee ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct DebugRunResult {
    bool debuggeeEnded = false;  // false: the debugging itself failed
    DWORD exitCode = 0;
    unsigned unreadableTexts = 0;
};

// `process` is the debuggee, started with DEBUG_ONLY_THIS_PROCESS by this
// thread. `onText` gets each text as its output line.
DebugRunResult RunDebugLoop(HANDLE process, const std::function<void(const std::string& line)>& onText);
