#include "net/session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "apply_reply.h"
#include "datagram.h"
#include "io/counted.h"
#include "io/safe_text.h"
#include "net/adapters.h"
#include "net/drop_count.h"

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
    return ListAdapters(own_, error) && ChooseAdapters(own_, wantedAdapter, adapters_, error) &&
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
    const std::optional<std::uint32_t> droppedBefore = link_.DroppedReplies();

    SearchIntake intake;
    const auto take = [&] {
        for (const Incoming& datagram : incoming)
            intake.Take(datagram.record,
                        datagram.adapter >= 0 ? adapters_[static_cast<std::size_t>(datagram.adapter)].name : "");
    };
    // The live count shows from the start and through every round, at most
    // ten times a second: a search that hears nothing says so while it
    // runs. Each line overwrites the last, blanks covering a longer one.
    constexpr auto kShowEvery = std::chrono::milliseconds(100);
    Clock::time_point shownAt;
    std::string shown;
    const auto show = [&](const std::string& line, bool now) {
        if (!progress || line == shown || (!now && Clock::now() - shownAt < kShowEvery))
            return;
        std::fprintf(stderr, "\r%-*s", static_cast<int>(shown.size()), line.c_str());
        std::fflush(stderr);
        shownAt = Clock::now();
        shown = line;
    };
    // A message after the live count starts a line of its own.
    const auto endLine = [&] {
        if (!shown.empty())
            std::fputc('\n', stderr);
        shown.clear();
    };
    const auto searching = [&](int round) {
        return "searching: round " + std::to_string(round + 1) + " of " + std::to_string(rounds) + ", " +
               Counted(intake.Devices().size(), "device") + " found";
    };

    const DISCOVERY_DATA request = MakeSearchRequest();
    const Clock::time_point start = Clock::now();
    show(searching(0), true);
    std::vector<bool> failed(adapters_.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < adapters_.size(); ++i) {
            std::string sendError;
            if (!link_.Broadcast(i, request, sendError) && !failed[i]) {
                failed[i] = true;
                endLine();
                std::fprintf(stderr, "nwctl: %s\n", SafeText(sendError).c_str());
            }
        }
        if (round == 0 && std::all_of(failed.begin(), failed.end(), [](bool f) { return f; })) {
            error = "the search request could not be sent from any adapter";
            endLine();
            return false;
        }
        const Clock::time_point roundEnd = start + std::chrono::seconds(round + 1);
        while (Clock::now() < roundEnd) {
            incoming.clear();
            const Clock::time_point wakeUp = progress ? std::min(roundEnd, Clock::now() + kShowEvery) : roundEnd;
            if (!link_.Receive(MillisecondsUntil(wakeUp), incoming, error)) {
                endLine();
                return false;
            }
            take();
            show(searching(round), false);
        }
    }
    // Replies that came in time but were not read yet, when the search was
    // held up (a busy machine, a stopped process); for at most a second,
    // so that a flood cannot keep it open.
    const Clock::time_point readUntil = Clock::now() + std::chrono::seconds(1);
    do {
        incoming.clear();
        if (!link_.Receive(0, incoming, error)) {
            endLine();
            return false;
        }
        take();
    } while (!incoming.empty() && Clock::now() < readUntil);

    show("searched " + Counted(static_cast<std::size_t>(rounds), "round") + ": " +
             Counted(intake.Devices().size(), "device") + " found",
         true);
    endLine();
    const std::optional<std::uint32_t> droppedAfter = link_.DroppedReplies();
    if (droppedBefore && droppedAfter) {
        const std::uint32_t lost = DropCount::Between(*droppedBefore, *droppedAfter);
        if (lost > 0)
            std::fprintf(stderr,
                         "nwctl: %s lost because the receive queue was full. A device missed in one round is "
                         "usually heard in the next: search with more --rounds (this search had %d)\n",
                         (std::to_string(lost) + (lost == 1 ? " reply was" : " replies were")).c_str(), rounds);
    }
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
            if (FeatureOfDatagram(datagram.record) != DatagramFeature::ApplyReply)
                continue;
            TakeApplyReply(awaited, datagram.record);
            if (!awaited)
                return datagram.record.result;
        }
    }
    return std::nullopt;
}
