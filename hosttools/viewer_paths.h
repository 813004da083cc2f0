// Where the web-viewer components' removal deletes: only files named
// plainly, in a system directory that Windows named absolutely.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// GetSystemDirectoryA fills a zero-filled buffer of this size.
constexpr std::size_t SYSTEM_DIRECTORY_BUFFER = 260;

// The system directory as GetSystemDirectoryA gave it (its result and the
// text in the buffer), or, when it cannot be trusted to name the directory,
// the trace that says why no file is deleted. An empty or relative text
// would put the files' paths elsewhere (the root of the current drive), so
// only an absolute path is taken.
struct SystemDirectoryCheck {
    std::optional<std::string> directory;
    std::string refusalTrace;
};
SystemDirectoryCheck CheckSystemDirectory(std::string_view bufferText, unsigned apiResult);

// `file`'s path in `directory`. Null unless `file` is a plain file name:
// no separators, drive, wildcards or dot names, so the path can name only
// that one file of that directory.
std::optional<std::string> SystemFilePath(std::string_view directory, std::string_view file);
