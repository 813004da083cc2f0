// nwctl watch: what changed on the network from one search to the next,
// while an installer cables. Each pass's devices go through Watch::Pass,
// which says what happened since the pass before; the time of each pass is
// handed in, so that the rule is tested with tables of passes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/found_devices.h"

enum class WatchEventKind {
    Appeared,  // a MAC heard for the first time
    Gone,      // not heard for kGonePasses passes in a row
    Back,      // heard again after it was gone
    Moved,     // heard at another address than before
    Shared,    // one address answered by two MACs or more
};
constexpr std::size_t kWatchEventKinds = 5;

// Passes in a row without a device before it counts as gone: one missed
// reply is usually a lost datagram, not a device unplugged.
constexpr int kGonePasses = 2;

// Its name in the output: appeared, gone, back, moved, shared-address.
const char* WatchEventName(WatchEventKind kind);

struct WatchEvent {
    WatchEventKind kind = WatchEventKind::Appeared;
    std::time_t time = 0;  // of the pass that saw it
    // Texts as the device sent them. Shared: the MAC that came to the
    // address last.
    std::string mac;
    std::string ip;                 // its address now; Gone: the last it answered at
    std::string previousIp;         // Moved, Back: where it answered before
    std::time_t lastSeen = 0;       // Gone, Back: the last pass that heard it before
    bool factoryDefault = false;    // Moved: to its first address, or the default one given
    std::vector<std::string> macs;  // Shared: every MAC at the address, in the order first seen
};

// A device as watch knows it.
struct WatchedDevice {
    std::string mac;
    std::string ip;       // the address it last answered at
    std::string firstIp;  // the address it answered at when first seen
    std::string product;
    std::time_t lastSeen = 0;
    int arrived = 0;  // the pass that heard it come to its address: first seen, moved there or back
    int missed = 0;   // passes in a row without it, up to kGonePasses

    bool Gone() const { return missed >= kGonePasses; }
};

class Watch {
public:
    // `defaultAddress`: the address devices take on a factory reset, if known.
    explicit Watch(std::optional<std::uint32_t> defaultAddress);

    // One pass's devices, heard at `time`: what changed, devices in the
    // order the pass found them, then those gone, then shared addresses. A
    // MAC heard at two addresses in one pass counts at the first.
    std::vector<WatchEvent> Pass(const std::vector<FoundDevice>& found, std::time_t time);

    // In the order first seen.
    const std::vector<WatchedDevice>& Devices() const { return devices_; }
    int Passes() const { return passes_; }
    // How many events of each kind, by WatchEventKind.
    const std::array<int, kWatchEventKinds>& Counts() const { return counts_; }

private:
    std::optional<std::uint32_t> defaultAddress_;
    std::vector<WatchedDevice> devices_;
    std::map<std::string, std::size_t> byMac_;
    // The MACs at each shared address as last said, so that a lasting
    // share is said once, and again only when another MAC joins it.
    std::map<std::string, std::set<std::string>> shared_;
    int passes_ = 0;
    std::array<int, kWatchEventKinds> counts_{};
};

// Search rounds per pass for passes `intervalSeconds` apart: each round
// takes a second, and a pass leaves time to spare in its interval.
int WatchRounds(double intervalSeconds);

// An event as a line of text, without its end: the time, the kind, the
// MAC and what happened. Device texts are made safe for a terminal.
std::string WatchEventLine(const WatchEvent& event);
// An event as one JSON object, without a line end.
std::string WatchEventJson(const WatchEvent& event);

// The devices as a table: mac, ip, state (present, missed, gone), last
// seen, product; device texts made safe.
std::string WatchTable(const Watch& watch);

// What the whole watch saw, at its end at `time`: as a line like an
// event's ("TIME summary N passes, N devices seen; N appeared, ...") or as
// one JSON object with "event": "summary"; each with its line end.
std::string WatchSummaryLine(const Watch& watch, std::time_t time);
std::string WatchSummaryJson(const Watch& watch, std::time_t time);
