#pragma once

#include <string>
#include <string_view>

// The program's title: its executable's file name without the folder and
// without the last extension ("C:\Tools\Nodewright.exe" gives "Nodewright").
// The path is ANSI text: a byte for which `isLeadByte` holds starts a
// double-byte character, whose second byte is never a separator.
std::string AppTitleFromModulePath(std::string_view path, bool (*isLeadByte)(unsigned char));
