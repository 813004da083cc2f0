// One simulated device as configured: what it says about itself, the
// credentials it accepts, and how it misbehaves on purpose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "discovery_data.h"

struct DeviceBehaviour {
    std::optional<double> delay;               // seconds from a search to the reply; unset: the farm's
    std::optional<std::uint32_t> answers;      // answers only the first k searches; unset: all
    std::uint32_t repeat = 1;                  // replies to each search
    bool silent = false;                       // sends no datagram, but still acts on commands and answers ARP
    std::optional<bool> broadcast;             // replies to 255.255.255.255; unset: the farm's
    std::optional<std::uint32_t> applyResult;  // answers every configuration with this, judging nothing
    std::uint32_t applyCount = 1;              // replies to each configuration request
    std::optional<std::string> applyMac;       // MAC text of the configuration reply, if not its own
    double applyDelay = 0;                     // seconds from a configuration request to the reply
    std::optional<double> rebootTime;          // seconds of silence after reboot or reset; unset: the farm's

    // Its life on the network, in seconds from the start of serving: away
    // (hearing and sending nothing) before appearAt and from leaveAt until
    // rejoinAt; at moveAt it takes the address moveTo, at moveBackAt its
    // first one again.
    std::optional<double> appearAt;
    std::optional<double> leaveAt;
    std::optional<double> rejoinAt;
    std::optional<double> moveAt;
    std::optional<std::string> moveTo;
    std::optional<double> moveBackAt;
};

struct SimDevice {
    // Its settings as first configured, which a factory reset restores.
    // `result` is what its search replies carry; `command`, `userId` and
    // `passwordDigest` stay zero.
    DISCOVERY_DATA record;
    std::string userId = "admin";
    std::string password = "admin";
    DeviceBehaviour behaviour;
};

// The timeline keys of `behaviour` taken together: each needs the one it
// follows, and comes after it. False with `error` when they do not fit.
bool CheckTimeline(const DeviceBehaviour& behaviour, std::string& error);

// Device `index` (from 0) of the built-in pattern: MAC 00:1A:2B:xx:xx:xx from
// index + 1, IP 198.51.100.100 + index (counted on as a 32-bit address),
// distinct non-zero ports.
SimDevice MakePatternedDevice(std::size_t index);
