// N simulated devices on one port: what each hears, decides and sends, and
// when. No sockets and no clock: the caller hands in datagrams with the time
// they arrived and takes out what has fallen due.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <queue>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "arp_answer.h"
#include "discovery_data.h"
#include "sim_device.h"

struct FarmOptions {
    double delay = 0;       // seconds from a search to the replies
    double spread = 0;      // the replies of the N devices spread evenly over this many seconds
    double rebootTime = 5;  // seconds of silence after a reboot or factory reset
    bool broadcastReplies = false;
};

constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFFu;

// A reply leaving for the reply port of `toAddress` (host byte order).
struct OutgoingDatagram {
    std::size_t device;
    std::uint32_t toAddress;
    DISCOVERY_DATA record;
};

// Something a device did or declined to do, for the log.
struct FarmEvent {
    enum class Kind {
        Quiet,         // a device heard a request meant for it and stays quiet: `detail` says why
        Config,        // a configuration request was judged: `result`, `applied`, `forced`, `replies`
        Refused,       // a reboot or reset with wrong credentials was ignored
        Reboot,        // silent until `until`
        FactoryReset,  // defaults restored, silent until `until`
        Back,          // the device answers again
        NoMatch,       // no device has the request's MAC text (`detail`)
        Ignored,       // not a request: `detail` says why
        Arrive,        // the device appears on the network, or comes back to it
        Leave,         // the device leaves the network
        Move,          // the device takes the address `detail`
    };
    explicit FarmEvent(Kind k) : kind(k) {}

    Kind kind;
    std::optional<std::size_t> device;
    std::string mac;  // the device's MAC text
    std::uint32_t command = 0;
    std::uint32_t result = 0;
    bool applied = false;
    bool forced = false;
    std::uint32_t replies = 0;
    double until = 0;
    std::string detail;
};

struct FarmOutput {
    double due;
    std::variant<OutgoingDatagram, FarmEvent> what;
};

class DeviceFarm {
public:
    // The devices' timeline keys count from `start`, the time serving began.
    DeviceFarm(std::vector<SimDevice> devices, const FarmOptions& options, double start = 0);

    // One datagram that arrived at `now` (seconds) from `fromAddress`.
    void Hear(const unsigned char* data, std::size_t length, std::uint32_t fromAddress, double now);

    // When the next output falls due, if any is pending.
    std::optional<double> NextDue() const;

    // Everything due at or before `now`, in the order it fell due.
    std::vector<FarmOutput> TakeDue(double now);

    std::size_t PendingCount() const { return queue_.size(); }
    std::size_t DeviceCount() const { return devices_.size(); }
    // A device's record as it stands now.
    const DISCOVERY_DATA& Current(std::size_t device) const { return devices_[device].current; }

    // The MACs that answer an ARP request heard at `now`: those of the
    // devices that hold the address asked for, are on the network, hear the
    // request and whose MAC text names a hardware address. More than one is
    // a real conflict.
    std::vector<HardwareAddress> ArpAnswers(const ArpRequest& request, double now);

private:
    struct DeviceState {
        SimDevice setup;
        DISCOVERY_DATA current;
        std::uint64_t searchesHeard = 0;
        bool rebooting = false;
        bool away = false;                        // off the network, by its timeline
        std::optional<HardwareAddress> hardware;  // none: its MAC text names none, and it never answers ARP
        std::optional<std::uint32_t> filedAt;     // where holders_ has it
    };
    // A change in a device's life on the network, by its timeline keys.
    struct Step {
        double due;
        std::size_t device;
        FarmEvent::Kind kind;  // Arrive, Leave or Move
        std::string address;   // Move: the address it takes
    };
    struct WakeUp {
        std::size_t device;
    };
    struct Pending {
        double due;
        std::uint64_t order;  // keeps the order of things due at the same time
        std::variant<OutgoingDatagram, FarmEvent, WakeUp> what;
    };
    struct LaterFirst {
        bool operator()(const Pending& a, const Pending& b) const
        {
            return a.due != b.due ? a.due > b.due : a.order > b.order;
        }
    };

    // Takes every step of the timelines due at or before `now`, in order.
    void Advance(double now);
    // Why a device hears nothing now: "away", "rebooting", or empty.
    static std::string Unreachable(const DeviceState& state);
    void HearSearch(std::uint32_t fromAddress, double now);
    void HearConfig(const DISCOVERY_DATA& request, std::uint32_t fromAddress, double now);
    void HearRestart(const DISCOVERY_DATA& request, double now);
    // The devices whose MAC text is the request's; logs a request for nobody.
    std::vector<std::size_t> Addressees(const DISCOVERY_DATA& request, double now);
    FarmEvent DeviceEvent(FarmEvent::Kind kind, std::size_t device, std::uint32_t command) const;
    std::uint32_t ReplyAddress(const DeviceState& state, std::uint32_t fromAddress) const;
    void Schedule(double due, std::variant<OutgoingDatagram, FarmEvent, WakeUp> what);
    // Files a device under the address its record holds now, after a change.
    void File(std::size_t device);

    std::vector<DeviceState> devices_;
    FarmOptions options_;
    std::priority_queue<Pending, std::vector<Pending>, LaterFirst> queue_;
    std::uint64_t scheduled_ = 0;
    std::vector<Step> steps_;  // by time; those before nextStep_ are taken
    std::size_t nextStep_ = 0;
    // The devices holding each address, so that an ARP request costs one
    // look-up however many devices there are.
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> holders_;
};
