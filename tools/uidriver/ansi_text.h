// Helpers for the ANSI text in which the driver handles and reports all
// text.
#pragma once

#include <string>

// UTF-16 text in the ANSI code page.
std::string WideToAnsi(const std::wstring& text);
// Equal but for the case of ASCII letters.
bool SameIgnoringCase(const std::string& a, const std::string& b);
