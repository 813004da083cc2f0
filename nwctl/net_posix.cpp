// The sockets on Linux (BSD sockets).
#include <poll.h>
#include <unistd.h>
#include <arpa/inet.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "net.h"

namespace {

// Thousands of devices answer one broadcast at once.
constexpr int kReceiveBuffer = 8 << 20;
// Datagrams taken in one call, so that a flood does not hold up the next
// request.
constexpr std::size_t kBatch = 4096;

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    socketAddress.sin_port = htons(port);
    return socketAddress;
}

}  // namespace

struct DiscoveryLink::Impl {
    int replies = -1;
    std::vector<int> senders;
    std::vector<Adapter> adapters;
    bool countsDrops = false;  // each datagram carries the drop count
    DropCount drops;

    ~Impl()
    {
        if (replies >= 0)
            close(replies);
        for (const int sender : senders)
            close(sender);
    }
};

DiscoveryLink::DiscoveryLink() : impl_(std::make_unique<Impl>()) {}
DiscoveryLink::~DiscoveryLink() = default;

bool DiscoveryLink::Open(const std::vector<Adapter>& adapters, std::string& error)
{
    impl_ = std::make_unique<Impl>();
    impl_->adapters = adapters;
    const int on = 1;
    impl_->replies = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (impl_->replies < 0) {
        error = SystemError("cannot make a UDP socket");
        return false;
    }
    // The forced size passes the system's limit but needs privileges; the
    // plain one is capped at that limit.
    if (setsockopt(impl_->replies, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer) != 0)
        setsockopt(impl_->replies, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    if (setsockopt(impl_->replies, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) {
        error = SystemError("cannot ask for the arrival interface of replies");
        return false;
    }
    // Without it a search that overflowed the queue could not say so; it
    // still searches.
    impl_->countsDrops = setsockopt(impl_->replies, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on) == 0;
    const sockaddr_in any = SocketAddress(INADDR_ANY, DISCOVERY_REPLY_PORT);
    if (bind(impl_->replies, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        error = SystemError("cannot open UDP port " + std::to_string(DISCOVERY_REPLY_PORT) +
                            " for the replies (is another device finder running?)");
        return false;
    }
    for (const Adapter& adapter : adapters) {
        const int sender = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (sender < 0) {
            error = SystemError("cannot make a UDP socket");
            return false;
        }
        impl_->senders.push_back(sender);
        if (setsockopt(sender, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
            error = SystemError("cannot allow broadcasts");
            return false;
        }
        const sockaddr_in local = SocketAddress(adapter.address, DISCOVERY_DEVICE_PORT);
        if (bind(sender, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            error =
                SystemError("cannot open UDP port " + std::to_string(DISCOVERY_DEVICE_PORT) + " on " + adapter.name);
            return false;
        }
    }
    return true;
}

bool DiscoveryLink::Broadcast(std::size_t adapter, const DISCOVERY_DATA& record, std::string& error)
{
    const sockaddr_in to = SocketAddress(INADDR_BROADCAST, DISCOVERY_DEVICE_PORT);
    const ssize_t sent = sendto(impl_->senders.at(adapter), &record, sizeof record, 0,
                                reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent != static_cast<ssize_t>(sizeof record)) {
        error = SystemError("cannot send from " + impl_->adapters.at(adapter).name);
        return false;
    }
    return true;
}

bool DiscoveryLink::Receive(int timeoutMs, std::vector<Incoming>& incoming, std::string& error)
{
    pollfd waiting{impl_->replies, POLLIN, 0};
    const int ready = poll(&waiting, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (ready < 0 && errno != EINTR) {
        error = SystemError("cannot wait for replies");
        return false;
    }
    if (ready <= 0)
        return true;
    for (std::size_t taken = 0; taken < kBatch; ++taken) {
        Incoming datagram{};
        iovec data{&datagram.record, sizeof datagram.record};
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo)) + CMSG_SPACE(sizeof(std::uint32_t))];
        msghdr message{};
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t length = recvmsg(impl_->replies, &message, MSG_DONTWAIT);
        if (length < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                return true;
            error = SystemError("cannot receive replies");
            return false;
        }
        unsigned interfaceIndex = 0;
        std::uint32_t destination = 0;
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
                in_pktinfo info;
                std::memcpy(&info, CMSG_DATA(header), sizeof info);
                interfaceIndex = static_cast<unsigned>(info.ipi_ifindex);
                destination = ntohl(info.ipi_addr.s_addr);
            } else if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SO_RXQ_OVFL) {
                // Present once anything has been dropped.
                std::uint32_t dropped;
                std::memcpy(&dropped, CMSG_DATA(header), sizeof dropped);
                impl_->drops.Read(dropped);
            }
        }
        // A datagram longer than a record, or an empty one, is no record.
        if (length == 0 || (message.msg_flags & MSG_TRUNC))
            continue;
        datagram.length = static_cast<std::size_t>(length);
        datagram.adapter = ArrivalAdapter(impl_->adapters, interfaceIndex, destination);
        incoming.push_back(datagram);
    }
    return true;
}

std::optional<std::uint32_t> DiscoveryLink::DroppedReplies()
{
    // A datagram carries the count as it stood when that datagram was
    // queued, so drops after the last one queued (the end of a burst) show
    // only in the socket's own count.
    std::uint32_t memory[SK_MEMINFO_VARS] = {};
    socklen_t length = sizeof memory;
    if (impl_->replies >= 0 && getsockopt(impl_->replies, SOL_SOCKET, SO_MEMINFO, memory, &length) == 0 &&
        length > SK_MEMINFO_DROPS * sizeof memory[0]) {
        impl_->drops.Read(memory[SK_MEMINFO_DROPS]);
        return impl_->drops.Latest();
    }
    if (impl_->countsDrops)
        return impl_->drops.Latest();
    return std::nullopt;
}
