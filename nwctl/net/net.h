// The platform's UDP sockets, reduced to the calls that differ between them;
// one implementation per platform (net_posix.cpp, net_win32.cpp).
// DiscoveryLink puts them in order once, for both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The system's socket library, from Start to the end of the object's life:
// Winsock needs starting and cleaning up, POSIX sockets need neither.
class SocketLibrary {
public:
    SocketLibrary() = default;
    ~SocketLibrary();
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;

    // False with `error` when the sockets cannot be had at all.
    bool Start(std::string& error);

private:
    bool started_ = false;  // Winsock started, so cleaned up at the end
};

// Why the latest socket call failed, in the system's words.
std::string LastSocketError();

// In host byte order, as INADDR_ANY and INADDR_BROADCAST.
constexpr std::uint32_t kAnyAddress = 0;
constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFFu;

enum class Blocking { Yes, No };

// Where and how long a received datagram was.
struct Arrival {
    std::size_t length = 0;
    unsigned interfaceIndex = 0;    // 0 when the system did not say
    std::uint32_t destination = 0;  // the address it was sent to, host byte order; 0 when not said
};

enum class Receipt {
    Datagram,  // in the buffer, as `Arrival` says
    PassOver,  // longer than the buffer, or an error that an earlier send left behind
    None,      // nothing waiting
    Failed,
};

// One IPv4 UDP socket. Each call that can fail returns false, and
// LastSocketError() then says why.
class UdpSocket {
public:
    UdpSocket();
    ~UdpSocket();
    UdpSocket(UdpSocket&&) noexcept;
    UdpSocket& operator=(UdpSocket&&) noexcept;

    bool Make(Blocking blocking);

    // As large a receive buffer as the system grants up to `bytes`.
    void AskReceiveBuffer(int bytes);

    // Each datagram received tells the interface and address it arrived at.
    bool AskArrival();

    // Each datagram received tells how many the system dropped before it
    // because the receive queue was full, where the system counts them.
    void CountDrops();

    bool AllowBroadcast();
    bool Bind(std::uint32_t address, std::uint16_t port);
    bool SendTo(const void* bytes, std::size_t length, std::uint32_t address, std::uint16_t port);

    // Up to `timeoutMs` for a datagram to wait; `ready` says whether one does.
    bool Wait(int timeoutMs, bool& ready);

    // One datagram into `buffer`, without waiting.
    Receipt Receive(void* buffer, std::size_t size, Arrival& arrival);

    // Datagrams dropped since the socket opened because its receive queue
    // was full (DropCount's latest reading); none where the system does not
    // tell.
    std::optional<std::uint32_t> Dropped();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
