#include "debug_trace.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

std::string FormatTrace(const char* format, std::va_list arguments)
{
    char text[DEBUG_TRACE_BUFFER];
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    if (length < 0)
        return {};
    std::string trace(text);
    if (static_cast<std::size_t>(length) >= sizeof text)
        trace.replace(trace.size() - 3, 3, "...");
    return trace;
}

#ifdef _WIN32
void DebugTrace(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    const std::string text = FormatTrace(format, arguments);
    va_end(arguments);
    ::OutputDebugStringA(text.c_str());
}
#endif
