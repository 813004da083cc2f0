// The debug trace: printf-style text to the debugger's output. The operator
// never sees it; a debugger or a debug-output viewer does.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// Longest text of one trace, its NUL included.
constexpr std::size_t DEBUG_TRACE_BUFFER = 1024;

// The text of one trace: formatted by the C library's printf rules and cut
// to fit the trace buffer, its last characters then replaced by "..." so a
// reader sees it was cut.
std::string FormatTrace(const char* format, std::va_list arguments);

void DebugTrace(const char* format, ...);
