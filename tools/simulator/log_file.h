// The log file and the two clocks its lines carry (POSIX).
#pragma once

#include <string>

// Seconds on the monotonic clock.
double MonotonicSeconds();

// The wall-clock time in UTC, ISO 8601 with microseconds.
std::string WallClockText();

// Lines appended to a file, each in one write so that every line is complete
// in the file as soon as it is written.
class LogFile {
public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile();

    // "" keeps no log; "-" writes to standard output.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return fd_ >= 0; }

    // A failed write is reported on stderr once; the program goes on.
    void Write(const std::string& line);

private:
    int fd_ = -1;
    bool ownFd_ = false;
    bool reported_ = false;
    std::string path_;
};
