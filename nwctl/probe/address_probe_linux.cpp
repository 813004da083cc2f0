// The probe on Linux: ARP probes through a packet socket on each adapter's
// interface, or, without the right to open one, the kernel's own
// resolution (neighbour_probe_linux.cpp).
#include "probe/address_probe.h"

#include <poll.h>
#include <unistd.h>
#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "io/safe_text.h"
#include "probe/arp_frame.h"
#include "probe/neighbour_probe.h"
#include "probe/probe_schedule.h"
#include "rules/resolution_rules.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers to a thousand probes come back within milliseconds of each
// other: room for them all, where the system allows it.
constexpr int kReceiveBuffer = 1 << 20;

struct ArpSocket {
    int socket = -1;
    unsigned index = 0;
    MacAddress mac{};
};

void CloseAll(std::vector<ArpSocket>& sockets)
{
    for (ArpSocket& arp : sockets) {
        if (arp.socket >= 0)
            close(arp.socket);
    }
    sockets.clear();
}

// A packet socket for ARP on `adapter`'s interface, whose probes its MAC
// sends. False with errno when the socket cannot be opened, with `error` on
// any later fault.
bool OpenArpSocket(const Adapter& adapter, ArpSocket& arp, std::string& error)
{
    const unsigned index = adapter.index;
    arp.index = index;
    arp.socket = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, htons(ETH_P_ARP));
    if (arp.socket < 0)
        return false;
    if (!adapter.mac) {
        error = "interface " + SafeText(adapter.name) + " has no MAC to send ARP probes from";
        return false;
    }
    arp.mac = *adapter.mac;
    sockaddr_ll local{};
    local.sll_family = AF_PACKET;
    local.sll_protocol = htons(ETH_P_ARP);
    local.sll_ifindex = static_cast<int>(index);
    if (bind(arp.socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = "cannot listen for ARP on interface " + std::to_string(index) + ": " + std::strerror(errno);
        return false;
    }
    const int bytes = kReceiveBuffer;
    // The forced size passes the system's limit but needs more privilege.
    if (setsockopt(arp.socket, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        setsockopt(arp.socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    return true;
}

// Sends the probe for `address` out of every socket. 1 sent from at least
// one, 0 a queue full everywhere (try again), -1 refused everywhere.
int SendProbe(const std::vector<ArpSocket>& sockets, std::uint32_t address, std::string& error)
{
    bool sent = false, full = false;
    for (const ArpSocket& arp : sockets) {
        const ArpFrame frame = MakeArpProbe(arp.mac, address);
        sockaddr_ll to{};
        to.sll_family = AF_PACKET;
        to.sll_protocol = htons(ETH_P_ARP);
        to.sll_ifindex = static_cast<int>(arp.index);
        to.sll_halen = 6;
        std::memset(to.sll_addr, 0xFF, 6);
        if (sendto(arp.socket, frame.data(), frame.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) ==
            static_cast<ssize_t>(frame.size())) {
            sent = true;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS) {
            full = true;
        } else {
            error = std::strerror(errno);
        }
    }
    return sent ? 1 : full ? 0 : -1;
}

void TakeAnswers(const std::vector<ArpSocket>& sockets, ProbeSchedule& schedule)
{
    unsigned char frame[1514];
    for (const ArpSocket& arp : sockets) {
        for (;;) {
            sockaddr_ll from{};
            socklen_t fromSize = sizeof from;
            const ssize_t size =
                recvfrom(arp.socket, frame, sizeof frame, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (size < 0)
                break;  // nothing more waiting (or a fault, which the next poll shows again)
            // This computer's own frames, the probes among them, tell nothing.
            if (from.sll_pkttype == PACKET_OUTGOING)
                continue;
            if (const auto holder = ArpFrameHolder(frame, static_cast<std::size_t>(size)))
                schedule.Heard(holder->address, holder->mac);
        }
    }
}

}  // namespace

bool ProbeAddresses(const std::vector<Adapter>& adapters, const std::vector<Adapter>& own,
                    const std::vector<std::uint32_t>& addresses, AddressUse& use, std::string& error,
                    const ProbeProgress& progress)
{
    // One socket per interface, however many of its addresses were chosen.
    std::vector<const Adapter*> interfaces;
    for (const Adapter& adapter : adapters) {
        if (!adapter.loopback && adapter.index != 0 &&
            std::none_of(interfaces.begin(), interfaces.end(),
                         [&adapter](const Adapter* other) { return other->index == adapter.index; }))
            interfaces.push_back(&adapter);
    }
    if (interfaces.empty()) {
        const std::string why = "the chosen adapters have no LAN to probe: " + SubnetsText(adapters);
        for (const std::uint32_t address : addresses)
            use.NotProbed(address, why);
        use.limit = NotProbedText({{addresses, why}});
        return true;
    }
    std::vector<ArpSocket> sockets;
    for (const Adapter* adapter : interfaces) {
        ArpSocket arp;
        if (!OpenArpSocket(*adapter, arp, error)) {
            const int reason = errno;
            if (arp.socket >= 0)
                close(arp.socket);
            CloseAll(sockets);
            if (arp.socket < 0 && (reason == EPERM || reason == EACCES))
                return ProbeByNeighbours(adapters, own, addresses, use, error, progress);
            if (arp.socket < 0)
                error = std::string("cannot open a packet socket for ARP: ") + std::strerror(reason);
            return false;
        }
        sockets.push_back(arp);
    }

    ProbeSchedule schedule(addresses, ProbeTiming{});
    const Clock::time_point start = Clock::now();
    const auto now = [&] { return std::chrono::duration_cast<ProbeSchedule::Time>(Clock::now() - start); };
    std::vector<pollfd> polled;
    for (const ArpSocket& arp : sockets)
        polled.push_back({arp.socket, POLLIN, 0});
    std::string sendError;
    while (!schedule.Done(now())) {
        const std::vector<std::uint32_t> due = schedule.Take(now());
        for (std::size_t i = 0; i < due.size(); ++i) {
            const int sent = SendProbe(sockets, due[i], sendError);
            if (sent > 0) {
                schedule.Sent(due[i], now());
            } else if (sent < 0) {
                schedule.Failed(due[i]);
            } else {
                // The queue is full: these first in the next batch, in order.
                for (std::size_t back = due.size(); back > i; --back)
                    schedule.Again(due[back - 1]);
                break;
            }
        }
        const auto wait = schedule.Next(now()) - now();
        if (poll(polled.data(), polled.size(), static_cast<int>(std::max<long long>(wait.count(), 0))) < 0 &&
            errno != EINTR) {
            error = std::string("cannot wait for ARP answers: ") + std::strerror(errno);
            CloseAll(sockets);
            return false;
        }
        TakeAnswers(sockets, schedule);
        if (progress)
            progress(schedule.Started(), schedule.Size());
    }
    CloseAll(sockets);
    const std::string unsent = "no probe could leave for it: " + sendError;
    schedule.Record(use, unsent);
    // This computer does not answer its own probes: its addresses are its
    // own, and another host that answers for one of them is a conflict.
    for (const auto& [address, mac] : OwnAddressMacs(own)) {
        if (use.ProbedAddresses().count(address))
            use.Probed(address, {mac});
    }
    use.limit = NotProbedText({{use.NotProbedAddresses(), unsent}});
    return true;
}
