// Texts held in a code page of their own, made readable on any system.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// `text`, read in `codePage`, as UTF-16: shown through the wide interface it
// reads right whatever the system's ANSI code page is. Null when this system
// has no table for that code page or the bytes are not valid in it.
std::optional<std::wstring> WideFromCodePage(UINT codePage, std::string_view text);
