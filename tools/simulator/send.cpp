// `nwsim send`: one crafted datagram, sent as often as asked.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "log_file.h"
#include "log_json.h"
#include "modes.h"
#include "udp_socket.h"

int RunSend(const SendOptions& options)
{
    std::string error;
    LogFile log;
    UdpSocket socket;
    if (!log.Open(options.logPath, error) || !socket.Open(options.from, options.fromPort, error)) {
        std::fprintf(stderr, "nwsim send: %s\n", error.c_str());
        return 1;
    }
    std::uint32_t to = 0;
    if (!ParseAddress(options.to, to)) {
        std::fprintf(stderr, "nwsim send: '%s' is not an IPv4 address\n", options.to.c_str());
        return 1;
    }
    const std::string bytes = options.datagram.Bytes();
    const DatagramToSend datagram{to, options.port, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
    const std::uint16_t localPort = socket.LocalPort();
    for (std::uint32_t k = 0; k < options.repeat; ++k) {
        if (k > 0 && options.interval > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(options.interval));
        const double sentAt = MonotonicSeconds();
        const int failure = socket.SendAll({datagram}).front();
        if (failure != 0) {
            std::fprintf(stderr, "nwsim send: cannot send to %s:%u: %s\n", options.to.c_str(), options.port,
                         std::strerror(failure));
            return 1;
        }
        log.Write(DatagramLine(DatagramLog{sentAt, WallClockText(), true, options.to, options.port, localPort, "", "",
                                           std::nullopt, datagram.data, datagram.length}));
    }
    std::printf("nwsim: sent %u datagram(s) of %zu bytes to %s:%u\n", options.repeat, bytes.size(), options.to.c_str(),
                options.port);
    return 0;
}
