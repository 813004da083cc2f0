// The serving loop: datagrams in, the farm's decisions out, at their time.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "device_farm.h"
#include "log_file.h"
#include "log_json.h"
#include "modes.h"
#include "udp_socket.h"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void OnStopSignal(int signal)
{
    stopSignal = signal;
}

// The stop signals stay blocked except while the loop waits, so a signal
// always wakes the wait instead of slipping in between the check and it.
bool CatchStopSignals(sigset_t& waitMask, std::string& error)
{
    sigset_t stops;
    sigemptyset(&stops);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&stops, signal);
    if (sigprocmask(SIG_BLOCK, &stops, &waitMask) != 0) {
        error = std::string("cannot block signals: ") + std::strerror(errno);
        return false;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigdelset(&waitMask, signal);
        if (sigaction(signal, &action, nullptr) != 0) {
            error = std::string("cannot catch signals: ") + std::strerror(errno);
            return false;
        }
    }
    return true;
}

class Server {
public:
    Server(const ServeOptions& options, UdpSocket& socket, LogFile& log)
        : options_(options),
          socket_(socket),
          log_(log),
          farm_(options.devices, options.farm, MonotonicSeconds()),
          localPort_(socket.LocalPort())
    {
    }

    // Runs until a stop signal; false when waiting failed.
    bool Run(const sigset_t& waitMask, std::string& error)
    {
        while (!stopSignal) {
            Deliver(farm_.TakeDue(MonotonicSeconds()));
            timespec timeout{};
            const std::optional<double> due = farm_.NextDue();
            if (due) {
                const double wait = std::max(0.0, *due - MonotonicSeconds());
                timeout.tv_sec = static_cast<time_t>(wait);
                timeout.tv_nsec = static_cast<long>((wait - std::floor(wait)) * 1e9);
            }
            pollfd readable{socket_.Fd(), POLLIN, 0};
            const int ready = ppoll(&readable, 1, due ? &timeout : nullptr, &waitMask);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0) {
                error = std::string("cannot wait for datagrams: ") + std::strerror(errno);
                return false;
            }
            if (ready > 0)
                ReceiveWaiting();
        }
        return true;
    }

    std::size_t Pending() const { return farm_.PendingCount(); }

private:
    // Takes in what is waiting, but not without end, so that replies due
    // meanwhile still leave on time. A failed receive is logged and the
    // loop goes on: the next datagram may well arrive.
    void ReceiveWaiting()
    {
        for (int n = 0; n < 256; ++n) {
            std::string error;
            const int got = socket_.Receive(received_, error);
            if (got < 0) {
                std::fprintf(stderr, "nwsim: %s\n", error.c_str());
                JsonObject line = LogStamp(MonotonicSeconds(), WallClockText());
                log_.Write(line.Text("event", "receive-error").Text("error", error).Str());
            }
            if (got <= 0)
                return;
            const double now = MonotonicSeconds();
            log_.Write(DatagramLine(DatagramLog{now, WallClockText(), false, AddressText(received_.peerAddress),
                                                received_.peerPort, localPort_, received_.localAddress,
                                                received_.interfaceName, std::nullopt, received_.data.data(),
                                                received_.data.size()}));
            farm_.Hear(received_.data.data(), received_.data.size(), received_.peerAddress, now);
        }
    }

    void Deliver(const std::vector<FarmOutput>& outputs)
    {
        std::vector<const OutgoingDatagram*> batch;
        for (const FarmOutput& output : outputs) {
            if (const auto* datagram = std::get_if<OutgoingDatagram>(&output.what)) {
                batch.push_back(datagram);
                continue;
            }
            SendBatch(batch);
            batch.clear();
            log_.Write(EventLine(output.due, WallClockText(), std::get<FarmEvent>(output.what)));
        }
        SendBatch(batch);
    }

    void SendBatch(const std::vector<const OutgoingDatagram*>& batch)
    {
        if (batch.empty())
            return;
        std::vector<DatagramToSend> datagrams;
        datagrams.reserve(batch.size());
        for (const OutgoingDatagram* d : batch)
            datagrams.push_back(DatagramToSend{d->toAddress, options_.replyPort,
                                               reinterpret_cast<const unsigned char*>(&d->record), sizeof d->record});
        const double sentAt = MonotonicSeconds();
        const std::vector<int> errors = socket_.SendAll(datagrams);
        const std::string wall = WallClockText();
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const std::string peer = AddressText(batch[i]->toAddress);
            if (errors[i] != 0) {
                std::fprintf(stderr, "nwsim: cannot send to %s:%u: %s\n", peer.c_str(), options_.replyPort,
                             std::strerror(errors[i]));
                JsonObject line = LogStamp(sentAt, wall);
                line.Text("event", "send-error").Number("device", batch[i]->device).Text("peer", peer);
                line.Number("peer_port", options_.replyPort).Text("error", std::strerror(errors[i]));
                log_.Write(line.Str());
                continue;
            }
            log_.Write(DatagramLine(DatagramLog{sentAt, wall, true, peer, options_.replyPort, localPort_, "", "",
                                                batch[i]->device, datagrams[i].data, datagrams[i].length}));
        }
    }

    const ServeOptions& options_;
    UdpSocket& socket_;
    LogFile& log_;
    DeviceFarm farm_;
    std::uint16_t localPort_;
    ReceivedDatagram received_;
};

}  // namespace

int RunServe(const ServeOptions& options)
{
    std::string error;
    LogFile log;
    sigset_t waitMask;
    UdpSocket socket;
    if (!log.Open(options.logPath, error) || !CatchStopSignals(waitMask, error) ||
        !socket.Open(options.bindAddress, options.port, error) ||
        !socket.SetBuffers(options.sendBuffer, options.receiveBuffer, error)) {
        std::fprintf(stderr, "nwsim: %s\n", error.c_str());
        return 1;
    }

    Server server(options, socket, log);
    JsonObject ready = LogStamp(MonotonicSeconds(), WallClockText());
    ready.Text("event", "ready").Number("pid", static_cast<std::uint64_t>(getpid()));
    ready.Text("address", options.bindAddress).Number("port", options.port).Number("reply_port", options.replyPort);
    ready.Number("devices", options.devices.size());
    log.Write(ready.Str());
    std::printf("nwsim: ready: %zu devices on %s:%u, replies to port %u\n", options.devices.size(),
                options.bindAddress.c_str(), options.port, options.replyPort);
    std::fflush(stdout);

    const bool ran = server.Run(waitMask, error);
    JsonObject stop = LogStamp(MonotonicSeconds(), WallClockText());
    stop.Text("event", "stop").Number("signal", static_cast<std::uint64_t>(stopSignal));
    stop.Number("pending", server.Pending());
    if (!ran)
        stop.Text("error", error);
    log.Write(stop.Str());
    if (!ran) {
        std::fprintf(stderr, "nwsim: %s\n", error.c_str());
        return 1;
    }
    std::printf("nwsim: stopped by signal %d\n", static_cast<int>(stopSignal));
    return 0;
}
