// Writing a file an operator names, whole or not at all: the text goes to a
// new file beside it, which takes the name only once it is complete, so
// that a run cut short, or a full disk, never leaves half a file under the
// name (nor spoils an earlier one). Only a regular file that may be written
// is replaced: a device (/dev/full, NUL), a pipe, a link or a folder would
// be swapped for a file, which is not ours to do. One implementation per
// platform (file_writing_posix.cpp, file_writing_win32.cpp).
#pragma once

#include <string>
#include <string_view>

// What holds the name a file is to be written to, as each platform tells.
enum class FileKind { Missing, Regular, ReadOnly, Folder, Link, Device, Pipe, Socket, Other };

// Why a name held by `kind` is not written to ("it is a device, not a
// regular file"; a link says where it points when `linkTarget` does);
// empty for a regular file and a name nothing holds.
std::string NotReplaced(FileKind kind, std::string_view linkTarget);

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();  // removes the new file unless Commit took it
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the new file beside `path`, where nothing is, or a regular
    // file that may be written. False with `error` when it cannot: so that
    // an unwritable path is refused before anything else is done.
    bool Open(const std::string& path, std::string& error);

    // Writes `text`, makes it durable and gives it the name. False with
    // `error` when any step fails; the name then keeps what it had.
    bool Commit(const std::string& text, std::string& error);

private:
    std::string path_;
    std::string temporary_;
    int descriptor_ = -1;
};
