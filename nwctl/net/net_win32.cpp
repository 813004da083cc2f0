// The sockets on Windows (Winsock 2). WSARecvMsg tells which interface a
// reply came in on.
#include <winsock2.h>
#include <windows.h>
#include <mswsock.h>
#include <ws2tcpip.h>

#include <cstring>

#include "net/net.h"

namespace {

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = ::htonl(address);
    socketAddress.sin_port = ::htons(port);
    return socketAddress;
}

const BOOL kOn = TRUE;

}  // namespace

SocketLibrary::~SocketLibrary()
{
    if (started_)
        ::WSACleanup();
}

bool SocketLibrary::Start(std::string& error)
{
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!started_)
        error = "cannot start Windows Sockets";
    return started_;
}

std::string LastSocketError()
{
    return "Winsock error " + std::to_string(::WSAGetLastError());
}

struct UdpSocket::Impl {
    SOCKET socket = INVALID_SOCKET;
    LPFN_WSARECVMSG receiveMessage = nullptr;

    ~Impl()
    {
        if (socket != INVALID_SOCKET)
            ::closesocket(socket);
    }
};

UdpSocket::UdpSocket() : impl_(std::make_unique<Impl>()) {}
UdpSocket::~UdpSocket() = default;
UdpSocket::UdpSocket(UdpSocket&&) noexcept = default;
UdpSocket& UdpSocket::operator=(UdpSocket&&) noexcept = default;

bool UdpSocket::Make(Blocking blocking)
{
    impl_->socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    u_long nonBlocking = 1;
    return impl_->socket != INVALID_SOCKET &&
           (blocking == Blocking::Yes || ::ioctlsocket(impl_->socket, FIONBIO, &nonBlocking) == 0);
}

void UdpSocket::AskReceiveBuffer(int bytes)
{
    ::setsockopt(impl_->socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes);
}

bool UdpSocket::AskArrival()
{
    GUID receiveMessageId = WSAID_WSARECVMSG;
    DWORD returned = 0;
    return ::setsockopt(impl_->socket, IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&kOn), sizeof kOn) == 0 &&
           ::WSAIoctl(impl_->socket, SIO_GET_EXTENSION_FUNCTION_POINTER, &receiveMessageId, sizeof receiveMessageId,
                      &impl_->receiveMessage, sizeof impl_->receiveMessage, &returned, nullptr, nullptr) == 0;
}

void UdpSocket::CountDrops()
{
    // Winsock does not count what a full receive queue drops: Dropped()
    // says none.
}

bool UdpSocket::AllowBroadcast()
{
    return ::setsockopt(impl_->socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&kOn), sizeof kOn) == 0;
}

bool UdpSocket::Bind(std::uint32_t address, std::uint16_t port)
{
    const sockaddr_in local = SocketAddress(address, port);
    return ::bind(impl_->socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

bool UdpSocket::SendTo(const void* bytes, std::size_t length, std::uint32_t address, std::uint16_t port)
{
    const sockaddr_in to = SocketAddress(address, port);
    return ::sendto(impl_->socket, static_cast<const char*>(bytes), static_cast<int>(length), 0,
                    reinterpret_cast<const sockaddr*>(&to), sizeof to) == static_cast<int>(length);
}

bool UdpSocket::Wait(int timeoutMs, bool& ready)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(impl_->socket, &readable);
    timeval wait{timeoutMs / 1000, timeoutMs % 1000 * 1000};
    const int result = ::select(0, &readable, nullptr, nullptr, &wait);
    ready = result > 0;
    return result != SOCKET_ERROR;
}

Receipt UdpSocket::Receive(void* buffer, std::size_t size, Arrival& arrival)
{
    WSABUF data{static_cast<ULONG>(size), static_cast<char*>(buffer)};
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
    if (impl_->receiveMessage(impl_->socket, &message, &length, nullptr, nullptr) != 0) {
        const int code = ::WSAGetLastError();
        // An ICMP error from an earlier send says nothing about this
        // datagram.
        if (code == WSAEMSGSIZE || code == WSAECONNRESET)
            return Receipt::PassOver;
        return code == WSAEWOULDBLOCK ? Receipt::None : Receipt::Failed;
    }
    if (message.dwFlags & MSG_TRUNC)
        return Receipt::PassOver;
    arrival = Arrival{};
    for (WSACMSGHDR* header = WSA_CMSG_FIRSTHDR(&message); header; header = WSA_CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            IN_PKTINFO info;
            std::memcpy(&info, WSA_CMSG_DATA(header), sizeof info);
            arrival.interfaceIndex = info.ipi_ifindex;
            arrival.destination = ::ntohl(info.ipi_addr.s_addr);
        }
    }
    arrival.length = length;
    return Receipt::Datagram;
}

std::optional<std::uint32_t> UdpSocket::Dropped()
{
    return std::nullopt;
}
