#include "trace_line.h"

#include <cstdio>

namespace {

void AppendEscaped(std::string& line, unsigned char c)
{
    switch (c) {
        case '\\':
            line += "\\\\";
            return;
        case '\n':
            line += "\\n";
            return;
        case '\r':
            line += "\\r";
            return;
        case '\t':
            line += "\\t";
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        line += hex;
        return;
    }
    line += static_cast<char>(c);
}

}  // namespace

std::string EscapeTraceText(std::string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (const char c : text)
        AppendEscaped(line, static_cast<unsigned char>(c));
    return line;
}

std::string EscapeTraceText(std::u16string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            AppendEscaped(line, static_cast<unsigned char>(unit));
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\u%04X", static_cast<unsigned>(unit));
        line += hex;
    }
    return line;
}

std::string UnreadableTraceLine(std::size_t length, unsigned long long address)
{
    char line[96];
    std::snprintf(line, sizeof line, "\\!unreadable debug string of %zu bytes at 0x%llX", length, address);
    return line;
}
