#include "arp_socket.h"

#include <dirent.h>
#include <ifaddrs.h>
#include <unistd.h>
#include <arpa/inet.h>
#include <linux/filter.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>

#include "arp_answer.h"

namespace {

// Requests come in bursts: a probe of a whole subnet asks for hundreds of
// addresses within milliseconds.
constexpr int kReceiveBuffer = 1 << 20;

// Whether the interface is stacked on another one in this namespace.
bool IsStacked(const std::string& name)
{
    DIR* folder = opendir(("/sys/class/net/" + name).c_str());
    if (!folder)
        return false;
    bool stacked = false;
    while (const dirent* entry = readdir(folder))
        stacked = stacked || std::strncmp(entry->d_name, "lower_", 6) == 0;
    closedir(folder);
    return stacked;
}

// Hands on only frames that arrived (not those this host sends, the
// devices' own replies among them) holding an ARP request; the rest never
// wakes the simulator.
bool AttachRequestFilter(int fd)
{
    static sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<__u32>(SKF_AD_OFF + SKF_AD_PKTTYPE)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, PACKET_OUTGOING, 4, 0),
        BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 12),  // the EtherType
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, ETH_P_ARP, 0, 2),
        BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 20),  // the ARP operation
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 1, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, 0),
        BPF_STMT(BPF_RET | BPF_K, kArpFrameBytes),
    };
    const sock_fprog program{static_cast<unsigned short>(sizeof code / sizeof code[0]), code};
    return setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) == 0;
}

}  // namespace

bool ServedInterfaces(const std::string& bindAddress, std::vector<ArpInterface>& interfaces, std::string& error)
{
    in_addr bound{};
    if (inet_pton(AF_INET, bindAddress.c_str(), &bound) != 1) {
        error = "'" + bindAddress + "' is not an IPv4 address";
        return false;
    }
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0) {
        error = std::string("cannot list the interfaces: ") + std::strerror(errno);
        return false;
    }
    std::set<std::string> names;
    for (const ifaddrs* at = all; at; at = at->ifa_next) {
        if (!at->ifa_addr || at->ifa_addr->sa_family != AF_INET || !(at->ifa_flags & IFF_UP) ||
            (at->ifa_flags & (IFF_LOOPBACK | IFF_NOARP)))
            continue;
        const in_addr held = reinterpret_cast<const sockaddr_in*>(at->ifa_addr)->sin_addr;
        if (bound.s_addr == INADDR_ANY ? !IsStacked(at->ifa_name) : held.s_addr == bound.s_addr)
            names.insert(at->ifa_name);
    }
    freeifaddrs(all);
    interfaces.clear();
    for (const std::string& name : names) {
        if (const unsigned index = if_nametoindex(name.c_str()))
            interfaces.push_back({index, name});
    }
    return true;
}

ArpSockets::~ArpSockets()
{
    CloseAll();
}

void ArpSockets::CloseAll()
{
    for (const Socket& socket : sockets_)
        close(socket.fd);
    sockets_.clear();
}

bool ArpSockets::Open(const std::vector<ArpInterface>& interfaces, std::string& error, bool& noRight)
{
    noRight = false;
    for (const ArpInterface& interface : interfaces) {
        // No protocol yet: nothing queues before the filter is in place.
        const int fd = socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            noRight = errno == EPERM || errno == EACCES;
            error = std::string("cannot open a packet socket: ") + std::strerror(errno);
            CloseAll();
            return false;
        }
        sockets_.push_back({fd, interface.name});
        sockaddr_ll local{};
        local.sll_family = AF_PACKET;
        local.sll_protocol = htons(ETH_P_ARP);
        local.sll_ifindex = static_cast<int>(interface.index);
        if (!AttachRequestFilter(fd) || bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            error = "cannot listen for ARP on " + interface.name + ": " + std::strerror(errno);
            CloseAll();
            return false;
        }
        const int bytes = kReceiveBuffer;
        // The forced size passes the system's limit but needs more privilege.
        if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
            setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    }
    return true;
}

int ArpSockets::Receive(std::size_t socket, std::vector<unsigned char>& frame, std::string& error)
{
    frame.resize(kArpFrameBytes);
    ssize_t got = 0;
    do {
        got = recv(sockets_[socket].fd, frame.data(), frame.size(), MSG_TRUNC);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        error = "cannot receive ARP on " + sockets_[socket].name + ": " + std::strerror(errno);
        return -1;
    }
    frame.resize(std::min(static_cast<std::size_t>(got), frame.size()));
    return 1;
}

int ArpSockets::Send(std::size_t socket, const unsigned char* frame, std::size_t size)
{
    ssize_t sent = 0;
    do {
        sent = send(sockets_[socket].fd, frame, size, 0);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0)
        return errno;
    return sent == static_cast<ssize_t>(size) ? 0 : EIO;
}
