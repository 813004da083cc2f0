// The log file and the two clocks its lines carry (POSIX).
#pragma once

#include <string>

#include <ctime>

// Seconds on the monotonic clock.
double MonotonicSeconds();
// The same clock's reading at a moment of the wall clock, shortly before now
// (the kernel's stamp of a datagram's arrival).
double MonotonicSecondsAt(const timespec& wall);

// The wall-clock time in UTC, ISO 8601 with microseconds: now, or a moment.
std::string WallClockText();
std::string WallClockText(const timespec& wall);

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
