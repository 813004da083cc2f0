// The probe on Windows: the system's own address resolution (SendARP) for
// the addresses on an adapter's subnet, several at once, since each waits
// up to a few seconds for an answer that may never come.
#include "probe/address_probe.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstring>

#include "net/adapters.h"
#include "rules/resolution_rules.h"

namespace {

// SendARP calls under way at once: most addresses of a site answer in
// milliseconds, the free ones take seconds each.
constexpr std::size_t kThreads = 32;

struct Asked {
    std::uint32_t address;
    std::uint32_t source;
    DWORD code = 0;
    ULONG macLength = 0;
    unsigned char mac[8] = {};
};

struct Work {
    std::vector<Asked>* asked;
    volatile LONG next;
};

// A worker: takes the next address until none is left. Nothing here can
// throw.
DWORD WINAPI Resolve(void* parameter)
{
    Work& work = *static_cast<Work*>(parameter);
    for (;;) {
        const LONG at = InterlockedIncrement(&work.next) - 1;
        if (at < 0 || static_cast<std::size_t>(at) >= work.asked->size())
            return 0;
        Asked& one = (*work.asked)[static_cast<std::size_t>(at)];
        ULONG mac[2] = {};
        ULONG length = sizeof mac;
        one.code = SendARP(htonl(one.address), htonl(one.source), mac, &length);
        one.macLength = length;
        std::memcpy(one.mac, mac, sizeof one.mac);
    }
}

}  // namespace

bool ProbeAddresses(const std::vector<Adapter>& adapters, const std::vector<Adapter>& own,
                    const std::vector<std::uint32_t>& addresses, AddressUse& use, std::string& error,
                    const ProbeProgress& progress)
{
    const ResolutionTargets targets = ResolutionTargetsOf(adapters, addresses, OwnAddressMacs(own), use);
    std::vector<Asked> asked;
    for (const OnLinkAddress& target : targets.onLink)
        asked.push_back({target.address, target.from});

    Work work{&asked, 0};
    std::vector<HANDLE> threads;
    for (std::size_t i = 0; i < kThreads && i < asked.size(); ++i) {
        const HANDLE thread = CreateThread(nullptr, 0, Resolve, &work, 0, nullptr);
        if (thread)
            threads.push_back(thread);
    }
    if (threads.empty() && !asked.empty()) {
        error = "cannot start the threads that resolve the addresses (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // At most MAXIMUM_WAIT_OBJECTS at once; there are fewer. Woken ten
    // times a second to tell how far the workers have got.
    while (WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 100) == WAIT_TIMEOUT) {
        if (progress)
            progress(std::min<std::size_t>(static_cast<std::size_t>(work.next), asked.size()), asked.size());
    }
    for (const HANDLE thread : threads)
        CloseHandle(thread);

    for (const Asked& one : asked) {
        switch (SendArpResolution(one.code, one.macLength)) {
            case Resolution::Answered: {
                MacAddress mac;
                std::copy(one.mac, one.mac + mac.size(), mac.begin());
                use.Probed(one.address, {mac});
                break;
            }
            case Resolution::NoAnswer:
                use.Probed(one.address, {});
                break;
            case Resolution::NotAvailable:
            case Resolution::CouldNotProbe:
                use.NotProbed(one.address, SendArpWhy(one.code, one.macLength));
                break;
        }
    }
    for (const std::uint32_t address : targets.offLink)
        use.NotProbed(address, NotOnLinkWhy(targets.lan));
    use.limit = WindowsLimit(use);
    return true;
}
