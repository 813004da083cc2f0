// The driver's session: one command per line on stdin, one JSON answer per
// line on stdout, flushed at once, so that a test keeps one driver running.
#pragma once

#include "command_support.h"
#include "json.h"

// Writes one answer as one line and flushes it.
void PrintAnswer(const Json& answer);
// The exit status when stdin could not be read (it says why on stderr).
constexpr int kReadFailedStatus = 1;

// Runs commands until ["quit"] or the end of stdin; returns the exit status.
int RunSession(Context& context);
