#include "udp_socket.h"

#include <unistd.h>
#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t kLargestDatagram = 65535;
constexpr std::size_t kBatch = 1024;  // the kernel's limit for one sendmmsg

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

}  // namespace

std::string AddressText(std::uint32_t address)
{
    in_addr in{};
    in.s_addr = htonl(address);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &in, text, sizeof text);
    return text;
}

bool ParseAddress(const std::string& text, std::uint32_t& address)
{
    in_addr in{};
    if (inet_pton(AF_INET, text.c_str(), &in) != 1)
        return false;
    address = ntohl(in.s_addr);
    return true;
}

UdpSocket::~UdpSocket()
{
    if (fd_ >= 0)
        close(fd_);
}

bool UdpSocket::Open(const std::string& address, std::uint16_t port, std::string& error)
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
        error = "'" + address + "' is not an IPv4 address";
        return false;
    }
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        error = SystemError("cannot make a UDP socket");
        return false;
    }
    const int on = 1;
    if (setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
        setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0 ||
        setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) != 0) {
        error = SystemError("cannot set up the UDP socket");
        return false;
    }
    if (bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = SystemError("cannot bind UDP " + address + ":" + std::to_string(port));
        return false;
    }
    return true;
}

bool UdpSocket::SetBuffers(int sendBytes, int receiveBytes, std::string& error)
{
    // The FORCE options pass net.core.[rw]mem_max but need privileges; the
    // plain ones are capped there.
    if (setsockopt(fd_, SOL_SOCKET, SO_SNDBUFFORCE, &sendBytes, sizeof sendBytes) != 0 &&
        setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &sendBytes, sizeof sendBytes) != 0) {
        error = SystemError("cannot set the send buffer");
        return false;
    }
    if (setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &receiveBytes, sizeof receiveBytes) != 0 &&
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBytes, sizeof receiveBytes) != 0) {
        error = SystemError("cannot set the receive buffer");
        return false;
    }
    return true;
}

std::uint16_t UdpSocket::LocalPort() const
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

int UdpSocket::Receive(ReceivedDatagram& datagram, std::string& error)
{
    datagram.data.resize(kLargestDatagram);
    sockaddr_in peer{};
    iovec io{datagram.data.data(), datagram.data.size()};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo)) + CMSG_SPACE(sizeof(timespec))];
    msghdr message{};
    message.msg_name = &peer;
    message.msg_namelen = sizeof peer;
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;

    ssize_t length = 0;
    do {
        length = recvmsg(fd_, &message, MSG_DONTWAIT);
    } while (length < 0 && errno == EINTR);
    if (length < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        error = SystemError("cannot receive");
        return -1;
    }
    datagram.data.resize(static_cast<std::size_t>(length));
    datagram.peerAddress = ntohl(peer.sin_addr.s_addr);
    datagram.peerPort = ntohs(peer.sin_port);
    datagram.localAddress.clear();
    datagram.interfaceName.clear();
    datagram.arrived = timespec{};
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
            std::memcpy(&datagram.arrived, CMSG_DATA(c), sizeof datagram.arrived);
            continue;
        }
        if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO)
            continue;
        in_pktinfo info{};
        std::memcpy(&info, CMSG_DATA(c), sizeof info);
        datagram.localAddress = AddressText(ntohl(info.ipi_addr.s_addr));
        char name[IF_NAMESIZE] = {};
        if (if_indextoname(static_cast<unsigned>(info.ipi_ifindex), name))
            datagram.interfaceName = name;
    }
    return 1;
}

std::vector<int> UdpSocket::SendAll(const std::vector<DatagramToSend>& datagrams)
{
    std::vector<int> errors(datagrams.size(), 0);
    std::vector<sockaddr_in> peers(std::min(datagrams.size(), kBatch));
    std::vector<iovec> io(peers.size());
    std::vector<mmsghdr> messages(peers.size());
    for (std::size_t first = 0; first < datagrams.size(); first += kBatch) {
        const std::size_t count = std::min(kBatch, datagrams.size() - first);
        for (std::size_t i = 0; i < count; ++i) {
            const DatagramToSend& d = datagrams[first + i];
            peers[i] = sockaddr_in{};
            peers[i].sin_family = AF_INET;
            peers[i].sin_port = htons(d.port);
            peers[i].sin_addr.s_addr = htonl(d.address);
            io[i].iov_base = const_cast<unsigned char*>(d.data);
            io[i].iov_len = d.length;
            messages[i] = mmsghdr{};
            messages[i].msg_hdr.msg_name = &peers[i];
            messages[i].msg_hdr.msg_namelen = sizeof peers[i];
            messages[i].msg_hdr.msg_iov = &io[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        // sendmmsg stops at the first datagram that fails; note it and go on
        // with the next.
        std::size_t done = 0;
        while (done < count) {
            const int sent = sendmmsg(fd_, messages.data() + done, static_cast<unsigned>(count - done), 0);
            if (sent < 0 && errno == EINTR)
                continue;
            if (sent <= 0) {
                errors[first + done] = sent < 0 ? errno : EIO;
                ++done;
            } else {
                done += static_cast<std::size_t>(sent);
            }
        }
    }
    return errors;
}
