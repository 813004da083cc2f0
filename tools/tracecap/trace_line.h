// One debug-output text as one line of tracecap's output file.
#pragma once

#include <string>
#include <string_view>

// The text with its line breaks and other control characters escaped, so
// that one text is always one line: "\\" for a backslash, "\n", "\r",
// "\t", and "\xHH" for the other bytes below 0x20 and for 0x7F. Bytes from
// 0x80 up are kept as they are (ANSI text in the debuggee's code page).
std::string EscapeTraceText(std::string_view text);

// A text sent as UTF-16: characters below 0x80 as above, every other code
// unit as "\uHHHH".
std::string EscapeTraceText(std::u16string_view text);

// A line that no trace text can give, since escaped texts never have a
// backslash before "!": marks a text that could not be read.
std::string UnreadableTraceLine(std::size_t length, unsigned long long address);
