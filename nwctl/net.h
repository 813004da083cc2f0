// nwctl's own sockets, one implementation per platform (net_posix.cpp,
// net_win32.cpp): replies arrive at port 40014 on every local address, as
// in the window program; requests leave from port 40013 of each chosen
// adapter's address to 255.255.255.255.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adapter_choice.h"
#include "discovery_data.h"

struct Incoming {
    DISCOVERY_DATA record;  // zero beyond the datagram
    std::size_t length;     // 1 to 371: longer datagrams and empty ones are dropped
    int adapter;            // position among the opened adapters, -1 when unknown
};

// The system's count of datagrams it dropped because a socket's receive
// queue was full: 32 bits that wrap, read at different moments (each
// datagram carries the count as it stood when that datagram was queued),
// so the latest reading is the one furthest ahead, not the largest.
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

class DiscoveryLink {
public:
    DiscoveryLink();
    ~DiscoveryLink();
    DiscoveryLink(const DiscoveryLink&) = delete;
    DiscoveryLink& operator=(const DiscoveryLink&) = delete;

    // Binds port 40014 on every address, with a receive buffer large enough
    // for thousands of replies in one burst, and port 40013 on each
    // adapter's address, allowed to broadcast.
    bool Open(const std::vector<Adapter>& adapters, std::string& error);

    // The record to 255.255.255.255 port 40013 from adapter `adapter`.
    bool Broadcast(std::size_t adapter, const DISCOVERY_DATA& record, std::string& error);

    // Waits up to `timeoutMs` for a datagram, then adds every one waiting to
    // `incoming`. False with `error` when the socket fails.
    bool Receive(int timeoutMs, std::vector<Incoming>& incoming, std::string& error);

    // Replies dropped at port 40014 since it opened because its receive
    // queue was full (DropCount's latest reading); none where the system
    // does not tell.
    std::optional<std::uint32_t> DroppedReplies();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
