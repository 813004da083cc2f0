#include "session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "adapters.h"
#include "apply_reply.h"
#include "safe_text.h"

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

bool Session::Open(const std::string& wantedAdapter, std::string& error)
{
    std::vector<Adapter> all;
    return ListAdapters(all, error) && ChooseAdapters(all, wantedAdapter, adapters_, error) &&
           link_.Open(adapters_, error);
}

bool Session::Search(int rounds, bool progress, std::vector<FoundDevice>& found, std::string& error)
{
    std::vector<Incoming> incoming;
    do {
        incoming.clear();
        if (!link_.Receive(0, incoming, error))
            return false;
    } while (!incoming.empty());

    SearchIntake intake;
    const DISCOVERY_DATA request = MakeSearchRequest();
    const Clock::time_point start = Clock::now();
    // The live count shows at most ten times a second, and within a tenth
    // of a second of its last change.
    constexpr auto kShowEvery = std::chrono::milliseconds(100);
    Clock::time_point shownAt = start;
    std::size_t shownCount = 0;
    std::vector<bool> failed(adapters_.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < adapters_.size(); ++i) {
            std::string sendError;
            if (!link_.Broadcast(i, request, sendError) && !failed[i]) {
                failed[i] = true;
                std::fprintf(stderr, "nwctl: %s\n", SafeText(sendError).c_str());
            }
        }
        if (round == 0 && std::all_of(failed.begin(), failed.end(), [](bool f) { return f; })) {
            error = "the search request could not be sent from any adapter";
            return false;
        }
        const Clock::time_point roundEnd = start + std::chrono::seconds(round + 1);
        while (Clock::now() < roundEnd) {
            incoming.clear();
            const Clock::time_point wakeUp = progress ? std::min(roundEnd, Clock::now() + kShowEvery) : roundEnd;
            if (!link_.Receive(MillisecondsUntil(wakeUp), incoming, error))
                return false;
            for (const Incoming& datagram : incoming)
                intake.Take(datagram.record, datagram.length,
                            datagram.adapter >= 0 ? adapters_[static_cast<std::size_t>(datagram.adapter)].name : "");
            const std::size_t count = intake.Devices().size();
            if (progress && count != shownCount && Clock::now() - shownAt >= kShowEvery) {
                shownAt = Clock::now();
                shownCount = count;
                std::fprintf(stderr, "\rsearching: %zu devices found", count);
            }
        }
    }
    if (progress)
        std::fprintf(stderr, "\rsearching: %zu devices found\n", intake.Devices().size());
    found = intake.Devices();
    return true;
}

bool Session::Send(const FoundDevice& device, const DISCOVERY_DATA& record, std::string& error)
{
    bool sent = false;
    for (std::size_t i = 0; i < adapters_.size(); ++i) {
        if (device.adapter.empty() || device.adapter == adapters_[i].name)
            sent = link_.Broadcast(i, record, error) || sent;
    }
    return sent;
}

std::optional<std::uint32_t> Session::AwaitApply(const std::string& macText, double seconds, std::string& error)
{
    std::optional<std::string> awaited = macText;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    std::vector<Incoming> incoming;
    while (Clock::now() < deadline) {
        incoming.clear();
        if (!link_.Receive(MillisecondsUntil(deadline), incoming, error))
            return std::nullopt;
        for (const Incoming& datagram : incoming) {
            if (datagram.record.command != DISCOVERY_CMD_SET_CONFIG)
                continue;
            TakeApplyReply(awaited, datagram.record);
            if (!awaited)
                return datagram.record.result;
        }
    }
    return std::nullopt;
}
