// The command line of nwsim: which mode, and everything it needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crafted.h"
#include "device_farm.h"
#include "discovery_data.h"
#include "sim_device.h"

constexpr std::size_t kMaxDevices = 65536;
constexpr std::size_t kMaxDatagramSize = 65507;

struct ServeOptions {
    std::vector<SimDevice> devices;
    FarmOptions farm;
    std::string logPath;  // empty: no log; "-": standard output
    std::string bindAddress = "0.0.0.0";
    std::uint16_t port = DISCOVERY_DEVICE_PORT;
    std::uint16_t replyPort = DISCOVERY_REPLY_PORT;
    int sendBuffer = 8 << 20;  // a burst of thousands of replies must not wait on the buffer
    int receiveBuffer = 4 << 20;
    // The devices answer ARP for their addresses; unset: where the raw
    // packet right allows, true: or fail, false: never.
    std::optional<bool> answerArp;
};

struct SendOptions {
    std::string to;
    std::uint16_t port = DISCOVERY_REPLY_PORT;
    std::string from = "0.0.0.0";
    std::uint16_t fromPort = 0;
    CraftedDatagram datagram;
    std::uint32_t repeat = 1;
    double interval = 0;
    std::string logPath;
};

struct CommandLine {
    enum class Mode { Serve, Send, Check, Help } mode = Mode::Serve;
    ServeOptions serve;  // Serve and Check
    SendOptions send;
};

// `args` without the program name. Reads --config files. False with `error`
// set on anything it cannot take.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& commandLine, std::string& error);
