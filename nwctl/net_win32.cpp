// The sockets on Windows (Winsock 2). WSARecvMsg tells which interface a
// reply came in on.
#include <winsock2.h>
#include <windows.h>
#include <mswsock.h>
#include <ws2tcpip.h>

#include <cstring>

#include "net.h"

namespace {

// Thousands of devices answer one broadcast at once.
constexpr int kReceiveBuffer = 8 << 20;
// Datagrams taken in one call, so that a flood does not hold up the next
// request.
constexpr std::size_t kBatch = 4096;

std::string SocketError(const std::string& what)
{
    return what + ": Winsock error " + std::to_string(::WSAGetLastError());
}

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = ::htonl(address);
    socketAddress.sin_port = ::htons(port);
    return socketAddress;
}

}  // namespace

struct DiscoveryLink::Impl {
    bool started = false;
    SOCKET replies = INVALID_SOCKET;
    std::vector<SOCKET> senders;
    std::vector<Adapter> adapters;
    LPFN_WSARECVMSG receiveMessage = nullptr;

    ~Impl()
    {
        if (replies != INVALID_SOCKET)
            ::closesocket(replies);
        for (const SOCKET sender : senders)
            ::closesocket(sender);
        if (started)
            ::WSACleanup();
    }
};

DiscoveryLink::DiscoveryLink() : impl_(std::make_unique<Impl>()) {}
DiscoveryLink::~DiscoveryLink() = default;

bool DiscoveryLink::Open(const std::vector<Adapter>& adapters, std::string& error)
{
    impl_ = std::make_unique<Impl>();
    impl_->adapters = adapters;
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        error = "cannot start Windows Sockets";
        return false;
    }
    impl_->started = true;
    const BOOL on = TRUE;
    impl_->replies = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (impl_->replies == INVALID_SOCKET) {
        error = SocketError("cannot make a UDP socket");
        return false;
    }
    u_long nonBlocking = 1;
    GUID receiveMessageId = WSAID_WSARECVMSG;
    DWORD returned = 0;
    ::setsockopt(impl_->replies, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&kReceiveBuffer),
                 sizeof kReceiveBuffer);
    if (::ioctlsocket(impl_->replies, FIONBIO, &nonBlocking) != 0 ||
        ::setsockopt(impl_->replies, IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&on), sizeof on) != 0 ||
        ::WSAIoctl(impl_->replies, SIO_GET_EXTENSION_FUNCTION_POINTER, &receiveMessageId, sizeof receiveMessageId,
                   &impl_->receiveMessage, sizeof impl_->receiveMessage, &returned, nullptr, nullptr) != 0) {
        error = SocketError("cannot set up the reply socket");
        return false;
    }
    const sockaddr_in any = SocketAddress(INADDR_ANY, DISCOVERY_REPLY_PORT);
    if (::bind(impl_->replies, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        error = SocketError("cannot open UDP port " + std::to_string(DISCOVERY_REPLY_PORT) +
                            " for the replies (is another device finder running?)");
        return false;
    }
    for (const Adapter& adapter : adapters) {
        const SOCKET sender = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        if (sender == INVALID_SOCKET) {
            error = SocketError("cannot make a UDP socket");
            return false;
        }
        impl_->senders.push_back(sender);
        if (::setsockopt(sender, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) != 0) {
            error = SocketError("cannot allow broadcasts");
            return false;
        }
        const sockaddr_in local = SocketAddress(adapter.address, DISCOVERY_DEVICE_PORT);
        if (::bind(sender, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            error =
                SocketError("cannot open UDP port " + std::to_string(DISCOVERY_DEVICE_PORT) + " on " + adapter.name);
            return false;
        }
    }
    return true;
}

bool DiscoveryLink::Broadcast(std::size_t adapter, const DISCOVERY_DATA& record, std::string& error)
{
    const sockaddr_in to = SocketAddress(INADDR_BROADCAST, DISCOVERY_DEVICE_PORT);
    const int sent = ::sendto(impl_->senders.at(adapter), reinterpret_cast<const char*>(&record), sizeof record, 0,
                              reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent != static_cast<int>(sizeof record)) {
        error = SocketError("cannot send from " + impl_->adapters.at(adapter).name);
        return false;
    }
    return true;
}

bool DiscoveryLink::Receive(int timeoutMs, std::vector<Incoming>& incoming, std::string& error)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(impl_->replies, &readable);
    timeval wait{timeoutMs / 1000, timeoutMs % 1000 * 1000};
    const int ready = ::select(0, &readable, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) {
        error = SocketError("cannot wait for replies");
        return false;
    }
    if (ready == 0)
        return true;
    for (std::size_t taken = 0; taken < kBatch; ++taken) {
        Incoming datagram{};
        WSABUF data{sizeof datagram.record, reinterpret_cast<char*>(&datagram.record)};
        char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
        sockaddr_in from{};
        WSAMSG message{};
        message.name = reinterpret_cast<sockaddr*>(&from);
        message.namelen = sizeof from;
        message.lpBuffers = &data;
        message.dwBufferCount = 1;
        message.Control.buf = control;
        message.Control.len = sizeof control;
        DWORD length = 0;
        if (impl_->receiveMessage(impl_->replies, &message, &length, nullptr, nullptr) != 0) {
            const int code = ::WSAGetLastError();
            // A datagram longer than a record is no record; an ICMP error
            // from an earlier send says nothing about this one.
            if (code == WSAEMSGSIZE || code == WSAECONNRESET)
                continue;
            if (code == WSAEWOULDBLOCK)
                return true;
            error = SocketError("cannot receive replies");
            return false;
        }
        if (length == 0 || (message.dwFlags & MSG_TRUNC))
            continue;
        unsigned interfaceIndex = 0;
        std::uint32_t destination = 0;
        for (WSACMSGHDR* header = WSA_CMSG_FIRSTHDR(&message); header; header = WSA_CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
                IN_PKTINFO info;
                std::memcpy(&info, WSA_CMSG_DATA(header), sizeof info);
                interfaceIndex = info.ipi_ifindex;
                destination = ::ntohl(info.ipi_addr.s_addr);
            }
        }
        datagram.length = length;
        datagram.adapter = ArrivalAdapter(impl_->adapters, interfaceIndex, destination);
        incoming.push_back(datagram);
    }
    return true;
}

std::optional<std::uint32_t> DiscoveryLink::DroppedReplies()
{
    // Winsock does not count what a full receive queue drops.
    return std::nullopt;
}
