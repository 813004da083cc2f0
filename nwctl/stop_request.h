// Ctrl-C, and on Linux a kill (SIGTERM), as a request to stop that a long
// run notices between its steps, so that it ends cleanly with its summary.
// The handler only notes the request and wakes the waiting loop: nothing
// unwinds through it. One implementation per platform
// (stop_request_posix.cpp, stop_request_win32.cpp).
#pragma once

#include <string>

// From now on Ctrl-C and SIGTERM are requests to stop, not the end of the
// program. A signal ignored from the start (nohup) stays ignored. False
// with `error` when they cannot be caught.
bool CatchStopRequests(std::string& error);

// True once a stop was requested.
bool StopRequested();

// Waits up to `milliseconds`, less when a stop is requested meanwhile.
// True when one was requested.
bool WaitForStopRequest(int milliseconds);
