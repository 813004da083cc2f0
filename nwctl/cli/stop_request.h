// Ctrl-C, and on Linux a kill (SIGTERM), as a request to stop that a long
// run notices between its steps, so that it ends cleanly with its summary.
// The handler only notes the request and wakes the waiting loop: nothing
// unwinds through it. One implementation per platform
// (stop_request_posix.cpp, stop_request_win32.cpp).
#pragma once

#include <string>

// From now on Ctrl-C and SIGTERM are requests to stop, not the end of the
// program; a second one ends it at once, as Ctrl-C does by default (on
// Windows with status 130), for an operator who cannot wait. `notice`
// (none when null) is written to standard error when the first comes in,
// so that the operator knows it was heard. On Windows, closing the console
// or logging off is a request too: the system ends the program a few
// seconds later, and the request holds that off (5 seconds at most) while
// the run goes on to its stopping point and returns. A signal
// ignored from the start (nohup) stays ignored. False with `error` when
// they cannot be caught.
bool CatchStopRequests(std::string& error, const char* notice = nullptr);

// True once a stop was requested.
bool StopRequested();

// Waits up to `milliseconds`, less when a stop is requested meanwhile.
// True when one was requested.
bool WaitForStopRequest(int milliseconds);
