// Writing a whole file on Linux: a new file made exclusively beside the
// target, written, synced, then renamed over it.
#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "io/file_writing.h"
#include "io/safe_text.h"

namespace {

std::string Reason(const std::string& path, const char* what)
{
    return std::string(what) + " " + PathText(path) + ": " + std::strerror(errno);
}

FileKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return mode & (S_IWUSR | S_IWGRP | S_IWOTH) ? FileKind::Regular : FileKind::ReadOnly;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISLNK(mode))
        return FileKind::Link;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::Device;
    if (S_ISFIFO(mode))
        return FileKind::Pipe;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Other;
}

// Whether the name may be replaced: nothing holds it, or a regular file
// that this process may write (root included: a file nobody may write,
// such as /proc/version, is read-only to nwctl too).
bool MayReplace(const std::string& path, std::string& error)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT)
            return true;
        error = Reason(path, "cannot write");
        return false;
    }
    std::string target;
    if (S_ISLNK(status.st_mode)) {
        char text[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), text, sizeof text);
        if (length > 0)
            target.assign(text, static_cast<std::size_t>(length));
    }
    const std::string refusal = NotReplaced(KindOf(status.st_mode), target);
    if (!refusal.empty()) {
        error = "cannot write " + PathText(path) + ": " + refusal;
        return false;
    }
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        error = Reason(path, "cannot write");
        return false;
    }
    return true;
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
    if (!MayReplace(path, error))
        return false;
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
