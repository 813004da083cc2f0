// Writing a file an operator names, whole or not at all: the text goes to a
// new file beside it, which takes the name only once it is complete, so
// that a run cut short, or a full disk, never leaves half a file under the
// name (nor spoils an earlier one). One implementation per platform
// (file_writing_posix.cpp, file_writing_win32.cpp).
#pragma once

#include <string>

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();  // removes the new file unless Commit took it
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the new file beside `path`, which must not be a folder. False
    // with `error` when it cannot: so that an unwritable path is refused
    // before anything else is done.
    bool Open(const std::string& path, std::string& error);

    // Writes `text`, makes it durable and gives it the name. False with
    // `error` when any step fails; the name then keeps what it had.
    bool Commit(const std::string& text, std::string& error);

private:
    std::string path_;
    std::string temporary_;
    int descriptor_ = -1;
};
