// nwctl's link to the devices: replies arrive at port 40014 on every local
// address, as in the window program; requests leave from port 40013 of each
// chosen adapter's address to 255.255.255.255. The same sequence of socket
// calls on every platform, through net.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "discovery_data.h"
#include "net/net.h"
#include "rules/adapter_choice.h"

struct Incoming {
    DISCOVERY_DATA record;  // as the window reads a datagram: zero beyond it
    int adapter;            // position among the opened adapters, -1 when unknown
};

class DiscoveryLink {
public:
    // Binds port 40014 on every address, with a receive buffer large enough
    // for thousands of replies in one burst, and port 40013 on each
    // adapter's address, allowed to broadcast. Once per link.
    bool Open(const std::vector<Adapter>& adapters, std::string& error);

    // The record to 255.255.255.255 port 40013 from adapter `adapter`.
    bool Broadcast(std::size_t adapter, const DISCOVERY_DATA& record, std::string& error);

    // Waits up to `timeoutMs` for a datagram, then adds every record waiting
    // to `incoming`. False with `error` when the socket fails.
    bool Receive(int timeoutMs, std::vector<Incoming>& incoming, std::string& error);

    // Replies dropped at port 40014 since it opened because its receive
    // queue was full; none where the system does not tell.
    std::optional<std::uint32_t> DroppedReplies() { return replies_.Dropped(); }

private:
    // Declared first, so that it ends after the sockets.
    SocketLibrary library_;
    UdpSocket replies_;
    std::vector<UdpSocket> senders_;
    std::vector<Adapter> adapters_;
};
