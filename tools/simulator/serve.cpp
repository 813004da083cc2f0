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

#include "arp_answer.h"
#include "arp_socket.h"
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
    Server(const ServeOptions& options, UdpSocket& socket, ArpSockets& arp, LogFile& log)
        : options_(options),
          socket_(socket),
          arp_(arp),
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
            std::vector<pollfd> readable{{socket_.Fd(), POLLIN, 0}};
            for (std::size_t i = 0; i < arp_.Count(); ++i)
                readable.push_back({arp_.Fd(i), POLLIN, 0});
            const int ready = ppoll(readable.data(), readable.size(), due ? &timeout : nullptr, &waitMask);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0) {
                error = std::string("cannot wait for datagrams: ") + std::strerror(errno);
                return false;
            }
            if (ready > 0 && readable[0].revents)
                ReceiveWaiting();
            for (std::size_t i = 0; ready > 0 && i < arp_.Count(); ++i) {
                if (readable[i + 1].revents)
                    AnswerArp(i);
            }
        }
        return true;
    }

    std::size_t Pending() const { return farm_.PendingCount(); }
    std::uint64_t ArpReplies() const { return arpReplies_; }

private:
    // A failed receive, on standard error and in the log.
    void LogReceiveError(const std::string& error)
    {
        std::fprintf(stderr, "nwsim: %s\n", error.c_str());
        JsonObject line = LogStamp(MonotonicSeconds(), WallClockText());
        log_.Write(line.Text("event", "receive-error").Text("error", error).Str());
    }

    // Takes in what is waiting, but not without end, so that replies due
    // meanwhile still leave on time. A failed receive is logged and the
    // loop goes on: the next datagram may well arrive.
    void ReceiveWaiting()
    {
        for (int n = 0; n < 256; ++n) {
            std::string error;
            const int got = socket_.Receive(received_, error);
            if (got < 0)
                LogReceiveError(error);
            if (got <= 0)
                return;
            // Stamped with its arrival, not the moment it was read: on a
            // loaded machine the two may lie far apart, and a device
            // answers a request as it reaches it.
            timespec arrived = received_.arrived;
            if (arrived.tv_sec == 0)
                clock_gettime(CLOCK_REALTIME, &arrived);
            const double now = MonotonicSecondsAt(arrived);
            log_.Write(DatagramLine(DatagramLog{now, WallClockText(arrived), false, AddressText(received_.peerAddress),
                                                received_.peerPort, localPort_, received_.localAddress,
                                                received_.interfaceName, std::nullopt, received_.data.data(),
                                                received_.data.size()}));
            farm_.Hear(received_.data.data(), received_.data.size(), received_.peerAddress, now);
        }
    }

    // Answers the ARP requests waiting on one interface, at most a batch of
    // them, as ReceiveWaiting does. Each answer is counted, not logged: a
    // probe of a subnet would write thousands of lines.
    void AnswerArp(std::size_t socket)
    {
        for (int n = 0; n < 256; ++n) {
            std::string error;
            const int got = arp_.Receive(socket, frame_, error);
            if (got < 0)
                LogReceiveError(error);
            if (got <= 0)
                return;
            const std::optional<ArpRequest> request = ReadArpRequest(frame_.data(), frame_.size());
            if (!request)
                continue;
            for (const HardwareAddress& mac : farm_.ArpAnswers(*request, MonotonicSeconds())) {
                const ArpReplyFrame reply = MakeArpReply(mac, *request);
                const int failed = arp_.Send(socket, reply.data(), reply.size());
                if (!failed) {
                    ++arpReplies_;
                    continue;
                }
                const std::string peer = AddressText(request->senderAddress);
                std::fprintf(stderr, "nwsim: cannot answer ARP from %s on %s: %s\n", peer.c_str(),
                             arp_.Name(socket).c_str(), std::strerror(failed));
                JsonObject line = LogStamp(MonotonicSeconds(), WallClockText());
                line.Text("event", "send-error").Text("interface", arp_.Name(socket)).Text("peer", peer);
                line.Text("arp_for", AddressText(request->targetAddress)).Text("error", std::strerror(failed));
                log_.Write(line.Str());
            }
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
    ArpSockets& arp_;
    LogFile& log_;
    DeviceFarm farm_;
    std::uint16_t localPort_;
    ReceivedDatagram received_;
    std::vector<unsigned char> frame_;
    std::uint64_t arpReplies_ = 0;
};

// Opens the ARP sockets unless told not to. Where the devices will not
// answer ARP after all, says so once and goes on, unless ARP was asked for:
// then false with `error`.
bool OpenArp(const ServeOptions& options, ArpSockets& arp, std::string& error)
{
    if (!options.answerArp.value_or(true))
        return true;
    std::vector<ArpInterface> interfaces;
    bool noRight = false;
    const bool listed = ServedInterfaces(options.bindAddress, interfaces, error);
    if (listed && interfaces.empty())
        error = "no LAN interface serves " + options.bindAddress;
    if (!interfaces.empty() && arp.Open(interfaces, error, noRight))
        return true;
    if (noRight)
        error += " (answering ARP needs the raw packet right, CAP_NET_RAW)";
    if (options.answerArp)
        return false;
    std::fprintf(stderr, "nwsim: the devices will not answer ARP: %s\n", error.c_str());
    error.clear();
    return true;
}

std::string ArpInterfaceNames(const ArpSockets& arp)
{
    std::string names;
    for (std::size_t i = 0; i < arp.Count(); ++i)
        names += (names.empty() ? "" : " ") + arp.Name(i);
    return names;
}

}  // namespace

int RunServe(const ServeOptions& options)
{
    std::string error;
    LogFile log;
    sigset_t waitMask;
    UdpSocket socket;
    ArpSockets arp;
    if (!log.Open(options.logPath, error) || !CatchStopSignals(waitMask, error) ||
        !socket.Open(options.bindAddress, options.port, error) ||
        !socket.SetBuffers(options.sendBuffer, options.receiveBuffer, error) || !OpenArp(options, arp, error)) {
        std::fprintf(stderr, "nwsim: %s\n", error.c_str());
        return 1;
    }

    Server server(options, socket, arp, log);
    const std::string arpNames = ArpInterfaceNames(arp);
    const std::string arpSaid = arpNames.empty() ? "no ARP answered" : "ARP answered on " + arpNames;
    JsonObject ready = LogStamp(MonotonicSeconds(), WallClockText());
    ready.Text("event", "ready").Number("pid", static_cast<std::uint64_t>(getpid()));
    ready.Text("address", options.bindAddress).Number("port", options.port).Number("reply_port", options.replyPort);
    ready.Number("devices", options.devices.size()).Text("arp", arpNames);
    log.Write(ready.Str());
    std::printf("nwsim: ready: %zu devices on %s:%u, replies to port %u, %s\n", options.devices.size(),
                options.bindAddress.c_str(), options.port, options.replyPort, arpSaid.c_str());
    std::fflush(stdout);

    const bool ran = server.Run(waitMask, error);
    JsonObject stop = LogStamp(MonotonicSeconds(), WallClockText());
    stop.Text("event", "stop").Number("signal", static_cast<std::uint64_t>(stopSignal));
    stop.Number("pending", server.Pending()).Number("arp_replies", server.ArpReplies());
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
