#include "commands/file_reading.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error)
{
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    text.clear();
    bool read = file != nullptr;
    int reason = errno;
    if (file) {
        char buffer[65536];
        std::size_t count;
        errno = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, count);
        // A folder opens on Linux; reading it fails with EISDIR.
        read = !std::ferror(file);
        reason = errno;
        std::fclose(file);
    }
    if (!read)
        error = "cannot read " + PathText(path) + (reason ? std::string(": ") + std::strerror(reason) : "");
    return read;
}
