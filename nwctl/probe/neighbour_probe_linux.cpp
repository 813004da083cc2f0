#include "probe/neighbour_probe.h"

#include <unistd.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

#include "probe/neighbour_table.h"
#include "rules/resolution_rules.h"

namespace {

using Clock = std::chrono::steady_clock;

// The kernel asks three times a second apart (mcast_solicit and
// retrans_time by default) before it gives up on an address.
constexpr auto kResolutionWait = std::chrono::milliseconds(3500);
constexpr auto kTableReadEvery = std::chrono::milliseconds(50);
// Addresses resolved at once: the kernel's table holds 1024 entries before
// it refuses new ones.
constexpr std::size_t kAtOnce = 256;
// The discard port: nothing should answer the empty datagram itself.
constexpr std::uint16_t kDiscardPort = 9;

std::string NotSentWhy(const std::string& error)
{
    return "the system would not send to it: " + error;
}

bool ReadTable(std::map<std::uint32_t, MacAddress>& resolved, std::string& error)
{
    std::ifstream file("/proc/net/arp");
    if (!file) {
        error = "cannot read the kernel's neighbour table /proc/net/arp";
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    resolved = ResolvedNeighbours(text);
    return true;
}

}  // namespace

bool ProbeByNeighbours(const std::vector<Adapter>& adapters, const std::vector<Adapter>& own,
                       const std::vector<std::uint32_t>& addresses, AddressUse& use, std::string& error,
                       const ProbeProgress& progress)
{
    // This computer's own addresses: the kernel does not ask for them.
    const ResolutionTargets targets = ResolutionTargetsOf(adapters, addresses, OwnAddressMacs(own), use);
    std::vector<std::uint32_t> onLink;
    for (const OnLinkAddress& target : targets.onLink)
        onLink.push_back(target.address);

    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        error = std::string("cannot open a socket to probe from: ") + std::strerror(errno);
        return false;
    }
    std::vector<std::uint32_t> unsent;
    std::string sendError;
    for (std::size_t start = 0; start < onLink.size(); start += kAtOnce) {
        const std::size_t end = std::min(onLink.size(), start + kAtOnce);
        std::set<std::uint32_t> waiting;
        for (std::size_t i = start; i < end; ++i) {
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(kDiscardPort);
            to.sin_addr.s_addr = htonl(onLink[i]);
            // Refused at once (no route, say): the kernel will not ask, and
            // silence would not mean free.
            if (sendto(socket, "", 0, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
                sendError = std::strerror(errno);
                unsent.push_back(onLink[i]);
                use.NotProbed(onLink[i], NotSentWhy(sendError));
                continue;
            }
            waiting.insert(onLink[i]);
        }
        const Clock::time_point deadline = Clock::now() + kResolutionWait;
        std::map<std::uint32_t, MacAddress> resolved;
        for (;;) {
            if (!ReadTable(resolved, error)) {
                close(socket);
                return false;
            }
            for (auto at = waiting.begin(); at != waiting.end();) {
                const auto found = resolved.find(*at);
                if (found == resolved.end()) {
                    ++at;
                    continue;
                }
                use.Probed(*at, {found->second});
                at = waiting.erase(at);
            }
            if (waiting.empty() || Clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(kTableReadEvery);
        }
        for (const std::uint32_t address : waiting)
            use.Probed(address, {});
        if (progress)
            progress(end, onLink.size());
    }
    close(socket);
    for (const std::uint32_t address : targets.offLink)
        use.NotProbed(address, OffSubnetWhy(targets.lan));
    use.limit = NotProbedText({{unsent, NotSentWhy(sendError)}});
    use.limit += (use.limit.empty() ? "" : ". ") + NoRawRightLimit(targets.offLink, targets.lan);
    return true;
}
