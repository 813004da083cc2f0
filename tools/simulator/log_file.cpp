#include "log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "utc_time.h"

double MonotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double MonotonicSecondsAt(const timespec& wall)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const double ago =
        static_cast<double>(now.tv_sec - wall.tv_sec) + static_cast<double>(now.tv_nsec - wall.tv_nsec) / 1e9;
    return MonotonicSeconds() - ago;
}

std::string WallClockText()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return WallClockText(now);
}

std::string WallClockText(const timespec& wall)
{
    return UtcTimestampMicroseconds(wall.tv_sec, wall.tv_nsec / 1000);
}

LogFile::~LogFile()
{
    if (ownFd_)
        close(fd_);
}

bool LogFile::Open(const std::string& path, std::string& error)
{
    path_ = path;
    if (path.empty())
        return true;
    if (path == "-") {
        fd_ = STDOUT_FILENO;
        return true;
    }
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error = "cannot open the log " + path + ": " + std::strerror(errno);
        return false;
    }
    ownFd_ = true;
    return true;
}

void LogFile::Write(const std::string& line)
{
    if (fd_ < 0)
        return;
    const std::string text = line + "\n";
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd_, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (!reported_)
                std::fprintf(stderr, "nwsim: cannot write the log %s: %s\n", path_.c_str(), std::strerror(errno));
            reported_ = true;
            return;
        }
        written += static_cast<std::size_t>(n);
    }
}
