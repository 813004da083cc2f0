#pragma once

#include <string>
#include <string_view>

// The program's title: its executable's file name without the folder and
// without the last extension ("C:\Tools\Nodewright.exe" gives "Nodewright").
std::string AppTitleFromModulePath(std::string_view path);
