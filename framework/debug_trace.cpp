#include "debug_trace.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

std::string FormatTrace(const char* format, std::va_list arguments)
{
    char text[DEBUG_TRACE_BUFFER];
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    if (length < 0)
        return {};
    // The last three characters that fit make way for "...".
    if (static_cast<std::size_t>(length) >= sizeof text)
        std::memcpy(text + sizeof text - 4, "...", 4);
    // Up to the first NUL: what the debugger shows of it.
    return text;
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
