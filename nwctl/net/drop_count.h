// The system's count of datagrams it dropped because a socket's receive
// queue was full: 32 bits that wrap, read at different moments (each
// datagram carries the count as it stood when that datagram was queued), so
// the latest reading is the one furthest ahead, not the largest.
#pragma once

#include <cstdint>

class DropCount {
public:
    void Read(std::uint32_t count)
    {
        if (static_cast<std::uint32_t>(count - latest_) < 0x80000000u)
            latest_ = count;
    }
    std::uint32_t Latest() const { return latest_; }

    // Dropped from `earlier` to `later`, across a wrap.
    static std::uint32_t Between(std::uint32_t earlier, std::uint32_t later)
    {
        return static_cast<std::uint32_t>(later - earlier);
    }

private:
    std::uint32_t latest_ = 0;  // none, when the socket opens
};
