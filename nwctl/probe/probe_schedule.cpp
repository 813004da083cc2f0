#include "probe/probe_schedule.h"

#include <algorithm>

ProbeSchedule::ProbeSchedule(const std::vector<std::uint32_t>& addresses, const ProbeTiming& timing) : timing_(timing)
{
    for (const std::uint32_t address : addresses) {
        if (states_.emplace(address, State{std::max(timing.attempts, 1), false, {}}).second)
            queue_.push_back({Time{0}, address});
    }
    unanswered_ = states_.size();
}

bool ProbeSchedule::Waiting(const Due& due) const
{
    const State& state = states_.at(due.address);
    return state.heard.empty() && state.attemptsLeft > 0;
}

void ProbeSchedule::DropAnswered()
{
    while (!queue_.empty() && !Waiting(queue_.front()))
        queue_.pop_front();
}

std::vector<std::uint32_t> ProbeSchedule::Take(Time now)
{
    std::vector<std::uint32_t> taken;
    if (batchSent_ && now < batchAt_ + timing_.batchGap)
        return taken;
    while (taken.size() < timing_.batch) {
        DropAnswered();
        if (queue_.empty() || queue_.front().at > now)
            break;
        taken.push_back(queue_.front().address);
        queue_.pop_front();
    }
    if (!taken.empty()) {
        batchSent_ = true;
        batchAt_ = now;
    }
    return taken;
}

void ProbeSchedule::Sent(std::uint32_t address, Time now)
{
    State& state = states_.at(address);
    started_ += !state.sentOnce;
    state.sentOnce = true;
    sentAny_ = true;
    lastSent_ = std::max(lastSent_, now);
    if (--state.attemptsLeft > 0)
        queue_.push_back({now + timing_.interval, address});
}

void ProbeSchedule::Failed(std::uint32_t address)
{
    State& state = states_.at(address);
    if (state.heard.empty() && state.attemptsLeft > 0 && !state.sentOnce)
        --unanswered_;
    started_ += state.attemptsLeft > 0 && !state.sentOnce;
    state.attemptsLeft = 0;
}

void ProbeSchedule::Again(std::uint32_t address)
{
    queue_.push_front({Time{0}, address});
}

void ProbeSchedule::Heard(std::uint32_t address, const MacAddress& mac)
{
    const auto found = states_.find(address);
    if (found == states_.end())
        return;
    State& state = found->second;
    if (state.heard.empty() && (state.sentOnce || state.attemptsLeft > 0))
        --unanswered_;
    if (std::find(state.heard.begin(), state.heard.end(), mac) == state.heard.end())
        state.heard.push_back(mac);
}

ProbeSchedule::Time ProbeSchedule::End() const
{
    if (!sentAny_)
        return Time{0};  // nothing to wait for
    // When everything probed has answered, a second holder of an address
    // answers as fast as the first: a probe interval is enough for it.
    return lastSent_ + (unanswered_ == 0 ? timing_.interval : timing_.wait);
}

ProbeSchedule::Time ProbeSchedule::Next(Time now)
{
    DropAnswered();
    if (queue_.empty())
        return std::max(now, End());
    Time next = std::max(now, queue_.front().at);
    if (batchSent_)
        next = std::max(next, batchAt_ + timing_.batchGap);
    return next;
}

bool ProbeSchedule::Done(Time now)
{
    DropAnswered();
    return queue_.empty() && now >= End();
}

void ProbeSchedule::Record(AddressUse& use, const std::string& why) const
{
    for (const auto& [address, state] : states_) {
        if (state.sentOnce || !state.heard.empty())
            use.Probed(address, state.heard);
        else
            use.NotProbed(address, why);
    }
}

std::size_t ProbeSchedule::Unsent() const
{
    return static_cast<std::size_t>(std::count_if(states_.begin(), states_.end(), [](const auto& entry) {
        return !entry.second.sentOnce && entry.second.heard.empty();
    }));
}
