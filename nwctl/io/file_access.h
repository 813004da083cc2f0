// Whether a file is its owner's alone, as a file holding a password should
// be. One implementation per platform (file_access_posix.cpp,
// file_access_win32.cpp).
#pragma once

#include <optional>
#include <string>

// The permission bits of the regular file at `path` when they grant its
// group or others any access; none when they grant none, for another kind
// of file (a pipe, a terminal), or where files have no such bits.
std::optional<unsigned> PermissionsOpenToOthers(const std::string& path);
