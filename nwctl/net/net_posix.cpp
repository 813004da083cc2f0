// The sockets on Linux (BSD sockets).
#include <poll.h>
#include <unistd.h>
#include <arpa/inet.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "net/drop_count.h"
#include "net/net.h"

namespace {

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    socketAddress.sin_port = htons(port);
    return socketAddress;
}

const int kOn = 1;

}  // namespace

SocketLibrary::~SocketLibrary() = default;

bool SocketLibrary::Start(std::string&)
{
    return true;
}

std::string LastSocketError()
{
    return std::strerror(errno);
}

struct UdpSocket::Impl {
    int socket = -1;
    bool countsDrops = false;  // each datagram carries the drop count
    DropCount drops;

    ~Impl()
    {
        if (socket >= 0)
            close(socket);
    }
};

UdpSocket::UdpSocket() : impl_(std::make_unique<Impl>()) {}
UdpSocket::~UdpSocket() = default;
UdpSocket::UdpSocket(UdpSocket&&) noexcept = default;
UdpSocket& UdpSocket::operator=(UdpSocket&&) noexcept = default;

bool UdpSocket::Make(Blocking blocking)
{
    impl_->socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | (blocking == Blocking::No ? SOCK_NONBLOCK : 0), 0);
    return impl_->socket >= 0;
}

void UdpSocket::AskReceiveBuffer(int bytes)
{
    // The forced size passes the system's limit but needs privileges; the
    // plain one is capped at that limit.
    if (setsockopt(impl_->socket, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        setsockopt(impl_->socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

bool UdpSocket::AskArrival()
{
    return setsockopt(impl_->socket, IPPROTO_IP, IP_PKTINFO, &kOn, sizeof kOn) == 0;
}

void UdpSocket::CountDrops()
{
    impl_->countsDrops = setsockopt(impl_->socket, SOL_SOCKET, SO_RXQ_OVFL, &kOn, sizeof kOn) == 0;
}

bool UdpSocket::AllowBroadcast()
{
    return setsockopt(impl_->socket, SOL_SOCKET, SO_BROADCAST, &kOn, sizeof kOn) == 0;
}

bool UdpSocket::Bind(std::uint32_t address, std::uint16_t port)
{
    const sockaddr_in local = SocketAddress(address, port);
    return bind(impl_->socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

bool UdpSocket::SendTo(const void* bytes, std::size_t length, std::uint32_t address, std::uint16_t port)
{
    const sockaddr_in to = SocketAddress(address, port);
    return sendto(impl_->socket, bytes, length, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) ==
           static_cast<ssize_t>(length);
}

bool UdpSocket::Wait(int timeoutMs, bool& ready)
{
    pollfd waiting{impl_->socket, POLLIN, 0};
    const int result = poll(&waiting, 1, timeoutMs);
    ready = result > 0;
    return result >= 0 || errno == EINTR;
}

Receipt UdpSocket::Receive(void* buffer, std::size_t size, Arrival& arrival)
{
    iovec data{buffer, size};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo)) + CMSG_SPACE(sizeof(std::uint32_t))];
    msghdr message{};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = recvmsg(impl_->socket, &message, MSG_DONTWAIT);
    if (length < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? Receipt::None : Receipt::Failed;
    arrival = Arrival{};
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            arrival.interfaceIndex = static_cast<unsigned>(info.ipi_ifindex);
            arrival.destination = ntohl(info.ipi_addr.s_addr);
        } else if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SO_RXQ_OVFL) {
            // Present once anything has been dropped.
            std::uint32_t dropped;
            std::memcpy(&dropped, CMSG_DATA(header), sizeof dropped);
            impl_->drops.Read(dropped);
        }
    }
    if (message.msg_flags & MSG_TRUNC)
        return Receipt::PassOver;
    arrival.length = static_cast<std::size_t>(length);
    return Receipt::Datagram;
}

std::optional<std::uint32_t> UdpSocket::Dropped()
{
    // A datagram carries the count as it stood when that datagram was
    // queued, so drops after the last one queued (the end of a burst) show
    // only in the socket's own count.
    std::uint32_t memory[SK_MEMINFO_VARS] = {};
    socklen_t length = sizeof memory;
    if (impl_->socket >= 0 && getsockopt(impl_->socket, SOL_SOCKET, SO_MEMINFO, memory, &length) == 0 &&
        length > SK_MEMINFO_DROPS * sizeof memory[0]) {
        impl_->drops.Read(memory[SK_MEMINFO_DROPS]);
        return impl_->drops.Latest();
    }
    if (impl_->countsDrops)
        return impl_->drops.Latest();
    return std::nullopt;
}
