// When the ARP probe sends what, and when it is done: every address is
// probed together, a few times apart for those nobody answered yet, in
// batches small enough that neither this computer's queues nor the answers
// coming back overflow, then a bounded wait for late answers. Times are
// milliseconds from the probe's start.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "device/mac.h"
#include "probe/address_use.h"

struct ProbeTiming {
    int attempts = 3;                         // probes of an address nobody answered
    std::chrono::milliseconds interval{200};  // between two probes of one address
    std::chrono::milliseconds wait{1000};     // after the last probe, for late answers
    std::size_t batch = 32;                   // probes sent at once
    std::chrono::milliseconds batchGap{5};    // between two batches
};

class ProbeSchedule {
public:
    using Time = std::chrono::milliseconds;

    // `addresses` in any order, repeats allowed.
    ProbeSchedule(const std::vector<std::uint32_t>& addresses, const ProbeTiming& timing);

    // The addresses to probe now, at most a batch and none before the batch
    // gap has passed; each must then be given to Sent, Failed or Again.
    std::vector<std::uint32_t> Take(Time now);
    // A probe of `address` left at `now`.
    void Sent(std::uint32_t address, Time now);
    // A probe of `address` cannot leave: it is not probed again and, if
    // none ever left, counts as not probed.
    void Failed(std::uint32_t address);
    // A probe of `address` could not leave yet (a full queue): first of
    // the next batch.
    void Again(std::uint32_t address);

    // `mac` answered for `address`; ignored for an address not probed.
    void Heard(std::uint32_t address, const MacAddress& mac);

    // When Take has something next, or the probe ends.
    Time Next(Time now);
    bool Done(Time now);

    // Every address probed, with the MACs heard (none: free), and those
    // whose probe never left as not probed, for `why`.
    void Record(AddressUse& use, const std::string& why) const;
    // How many addresses no probe left for.
    std::size_t Unsent() const;
    // How many addresses are to be probed, and how many of them a first
    // probe has left for (or failed to): how far the probe has got.
    std::size_t Size() const { return states_.size(); }
    std::size_t Started() const { return started_; }

private:
    struct State {
        int attemptsLeft;
        bool sentOnce = false;
        std::vector<MacAddress> heard;
    };
    struct Due {
        Time at;
        std::uint32_t address;
    };
    bool Waiting(const Due& due) const;
    void DropAnswered();
    Time End() const;

    ProbeTiming timing_;
    std::map<std::uint32_t, State> states_;
    // In order of their times: each probe puts the next one last, and a
    // later probe is never due before an earlier one.
    std::deque<Due> queue_;
    bool batchSent_ = false;
    Time batchAt_{0};
    bool sentAny_ = false;
    Time lastSent_{0};
    std::size_t unanswered_ = 0;
    std::size_t started_ = 0;
};
