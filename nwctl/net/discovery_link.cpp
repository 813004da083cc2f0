#include "net/discovery_link.h"

#include "datagram.h"

namespace {

// Datagrams taken in one call, so that a flood does not hold up the next
// request.
constexpr std::size_t kBatch = 4096;

std::string Failure(const std::string& what)
{
    return what + ": " + LastSocketError();
}

}  // namespace

bool DiscoveryLink::Open(const std::vector<Adapter>& adapters, std::string& error)
{
    adapters_ = adapters;
    if (!library_.Start(error))
        return false;
    if (!replies_.Make(Blocking::No)) {
        error = Failure("cannot make a UDP socket");
        return false;
    }
    replies_.AskReceiveBuffer(DISCOVERY_RECEIVE_BUFFER_BYTES);
    if (!replies_.AskArrival()) {
        error = Failure("cannot ask for the arrival interface of replies");
        return false;
    }
    // Without it a search that overflowed the queue could not say so; it
    // still searches.
    replies_.CountDrops();
    if (!replies_.Bind(kAnyAddress, DISCOVERY_REPLY_PORT)) {
        error = Failure("cannot open UDP port " + std::to_string(DISCOVERY_REPLY_PORT) +
                        " for the replies (is another device finder running?)");
        return false;
    }
    for (const Adapter& adapter : adapters) {
        UdpSocket& sender = senders_.emplace_back();
        if (!sender.Make(Blocking::Yes)) {
            error = Failure("cannot make a UDP socket");
            return false;
        }
        if (!sender.AllowBroadcast()) {
            error = Failure("cannot allow broadcasts");
            return false;
        }
        if (!sender.Bind(adapter.address, DISCOVERY_DEVICE_PORT)) {
            error = Failure("cannot open UDP port " + std::to_string(DISCOVERY_DEVICE_PORT) + " on " + adapter.name);
            return false;
        }
    }
    return true;
}

bool DiscoveryLink::Broadcast(std::size_t adapter, const DISCOVERY_DATA& record, std::string& error)
{
    if (!senders_.at(adapter).SendTo(&record, sizeof record, kBroadcastAddress, DISCOVERY_DEVICE_PORT)) {
        error = Failure("cannot send from " + adapters_.at(adapter).name);
        return false;
    }
    return true;
}

bool DiscoveryLink::Receive(int timeoutMs, std::vector<Incoming>& incoming, std::string& error)
{
    bool ready = false;
    if (!replies_.Wait(timeoutMs < 0 ? 0 : timeoutMs, ready)) {
        error = Failure("cannot wait for replies");
        return false;
    }
    if (!ready)
        return true;
    for (std::size_t taken = 0; taken < kBatch; ++taken) {
        unsigned char datagram[DISCOVERY_DATA_SIZE];
        Arrival arrival;
        switch (replies_.Receive(datagram, sizeof datagram, arrival)) {
            case Receipt::Datagram:
                if (const auto record = RecordFromDatagram(datagram, arrival.length))
                    incoming.push_back(
                        {*record, ArrivalAdapter(adapters_, arrival.interfaceIndex, arrival.destination)});
                break;
            case Receipt::PassOver:
                break;
            case Receipt::None:
                return true;
            case Receipt::Failed:
                error = Failure("cannot receive replies");
                return false;
        }
    }
    return true;
}
