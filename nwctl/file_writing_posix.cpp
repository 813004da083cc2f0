// Writing a whole file on Linux: a new file made exclusively beside the
// target, written, synced, then renamed over it.
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_reading.h"
#include "file_writing.h"

namespace {

std::string Reason(const std::string& path, const char* what)
{
    return std::string(what) + " " + ShortText(path, kPathShown) + ": " + std::strerror(errno);
}

}  // namespace

ReplacingFile::~ReplacingFile()
{
    if (descriptor_ >= 0) {
        close(descriptor_);
        unlink(temporary_.c_str());
    }
}

bool ReplacingFile::Open(const std::string& path, std::string& error)
{
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = "cannot write " + ShortText(path, kPathShown) + ": it is a folder";
        return false;
    }
    path_ = path;
    for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
        temporary_ = path + ".part-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        descriptor_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ < 0 && errno != EEXIST)
            break;
    }
    if (descriptor_ < 0)
        error = Reason(path, "cannot write");
    return descriptor_ >= 0;
}

bool ReplacingFile::Commit(const std::string& text, std::string& error)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(descriptor_, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = Reason(path_, "cannot write");
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    if (fsync(descriptor_) != 0) {
        error = Reason(path_, "cannot write");
        return false;
    }
    const int closed = close(descriptor_);
    descriptor_ = -1;
    if (closed != 0 || rename(temporary_.c_str(), path_.c_str()) != 0) {
        error = Reason(path_, "cannot write");
        unlink(temporary_.c_str());
        return false;
    }
    return true;
}
