// nwctl's own sockets, one implementation per platform (net_posix.cpp,
// net_win32.cpp): replies arrive at port 40014 on every local address, as
// in the window program; requests leave from port 40013 of each chosen
// adapter's address to 255.255.255.255.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "adapter_choice.h"
#include "discovery_data.h"

struct Incoming {
    DISCOVERY_DATA record;  // zero beyond the datagram
    std::size_t length;     // 1 to 371: longer datagrams and empty ones are dropped
    int adapter;            // position among the opened adapters, -1 when unknown
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

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
