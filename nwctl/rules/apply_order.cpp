#include "rules/apply_order.h"

#include <algorithm>
#include <functional>
#include <map>
#include <queue>
#include <set>

#include "device/mac.h"
#include "device/setting_changes.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "rules/assign_rule.h"
#include "subnet.h"
#include "text_field.h"

namespace {

// Where a device is and where the plan takes it.
struct Move {
    std::optional<std::uint32_t> from;  // the address it has now
    std::optional<std::uint32_t> to;    // the static address it will have; none for dhcp
    bool leaves = false;                // its Save takes it off `from`
};

Move MoveOf(const PlannedDevice& device)
{
    const DISCOVERY_DATA& record = device.device->record;
    const SettingsChange& change = device.row->change;
    Move move;
    move.from = ParseIPv4(ReadTextField(record.ipAddress));
    if (EffectiveSetting(record, change, Setting::Mode) == "static")
        move.to = ParseIPv4(EffectiveSetting(record, change, Setting::Ip));
    move.leaves = move.from && (move.to ? *move.to != *move.from : record.dhcp == 0);
    return move;
}

std::string Line(const PlannedDevice& device)
{
    return "line " + std::to_string(device.row->line);
}

// The addresses a temporary address may not be: this computer's, every
// found device's, and every address the plan's devices have or will have,
// their gateways' and DNS servers' among them.
std::set<std::uint32_t> TakenAddresses(const std::vector<PlannedDevice>& devices, const std::vector<FoundDevice>& found,
                                       const std::vector<Adapter>& ownAdapters)
{
    std::set<std::uint32_t> taken;
    for (const Adapter& adapter : ownAdapters)
        taken.insert(adapter.address);
    for (const FoundDevice& device : found) {
        if (const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress)))
            taken.insert(*ip);
    }
    for (const PlannedDevice& device : devices) {
        for (const Setting setting : {Setting::Ip, Setting::Gateway, Setting::Dns}) {
            for (const std::string& text : {CurrentSetting(device.device->record, setting),
                                            EffectiveSetting(device.device->record, device.row->change, setting)}) {
                if (const auto address = ParseIPv4(text))
                    taken.insert(*address);
            }
        }
    }
    return taken;
}

}  // namespace

std::vector<PlannedDevice> PlannedDevices(const std::vector<PlanRow>& plan, const std::vector<FoundDevice>& found)
{
    const DevicesByMac byMac(found);
    std::vector<PlannedDevice> devices;
    std::set<MacAddress> seen;
    for (const PlanRow& row : plan) {
        const std::vector<const FoundDevice*>& answers = byMac.With(row.mac);
        if (answers.size() == 1 && seen.insert(row.mac).second)
            devices.push_back({&row, answers.front()});
    }
    return devices;
}

SaveOrder OrderSaves(const std::vector<PlannedDevice>& devices, const std::vector<FoundDevice>& found,
                     const std::vector<Adapter>& ownAdapters, const AddressUse& use)
{
    SaveOrder order;
    const std::size_t count = devices.size();
    std::vector<Move> moves;
    std::map<std::uint32_t, std::vector<std::size_t>> holders;
    for (std::size_t i = 0; i < count; ++i) {
        moves.push_back(MoveOf(devices[i]));
        if (moves[i].from)
            holders[*moves[i].from].push_back(i);
    }
    const auto mac = [&](std::size_t i) { return FormatMac(devices[i].row->mac); };

    // needs[i]: the devices that hold the address device i moves onto;
    // waitedBy[j]: the devices that need device j gone.
    std::vector<std::vector<std::size_t>> needs(count), waitedBy(count);
    std::vector<std::size_t> pending(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Move& move = moves[i];
        if (!move.to || move.to == move.from)
            continue;
        const auto held = holders.find(*move.to);
        if (held == holders.end())
            continue;
        for (const std::size_t j : held->second) {
            if (!moves[j].leaves) {
                order.problems.push_back({devices[i].row->line, mac(i) + ": ip " + FormatIPv4(*move.to) +
                                                                    " is held by " + mac(j) + " (" + Line(devices[j]) +
                                                                    "), which keeps it"});
                continue;
            }
            needs[i].push_back(j);
            waitedBy[j].push_back(i);
        }
        pending[i] = needs[i].size();
    }
    if (!order.problems.empty())
        return order;

    // The devices free to go, first in the plan's order first.
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> ready;
    for (std::size_t i = 0; i < count; ++i) {
        if (pending[i] == 0)
            ready.push(i);
    }
    std::vector<std::optional<std::size_t>> leftBy(count);  // the step that took the device off its address
    std::vector<bool> placed(count);
    const auto leave = [&](std::size_t j, std::size_t step) {
        if (leftBy[j])
            return;
        leftBy[j] = step;
        for (const std::size_t i : waitedBy[j]) {
            if (--pending[i] == 0)
                ready.push(i);
        }
    };

    std::set<std::uint32_t> taken = TakenAddresses(devices, found, ownAdapters);
    const auto inUse = [&use](std::uint32_t address) {
        const std::vector<MacAddress>* answers = use.Answers(address);
        return answers ? *answers : std::vector<MacAddress>{};
    };
    std::size_t placedCount = 0;
    while (placedCount < count) {
        if (!ready.empty()) {
            const std::size_t i = ready.top();
            ready.pop();
            SaveStep step{i, std::nullopt, {}};
            for (const std::size_t j : needs[i]) {
                step.waits.push_back({*leftBy[j], *moves[i].to});
                order.notes.push_back(Line(devices[i]) + " after " + Line(devices[j]) + ": " + mac(i) + " moves onto " +
                                      FormatIPv4(*moves[i].to) + " once " + mac(j) + " has left it");
            }
            order.steps.push_back(std::move(step));
            placed[i] = true;
            ++placedCount;
            if (moves[i].leaves)
                leave(i, order.steps.size() - 1);
            continue;
        }
        // Nobody is free to go: the devices left wait for each other in a
        // circle (or for one). Find the circle from the first of them.
        std::size_t at = 0;
        while (placed[at])
            ++at;
        std::vector<std::size_t> walk;
        std::map<std::size_t, std::size_t> walked;  // device -> its place in the walk
        while (!walked.count(at)) {
            walked.emplace(at, walk.size());
            walk.push_back(at);
            at = *std::find_if(needs[at].begin(), needs[at].end(), [&](std::size_t j) { return !leftBy[j]; });
        }
        const std::vector<std::size_t> circle(walk.begin() + static_cast<std::ptrdiff_t>(walked[at]), walk.end());
        const auto first = std::min_element(circle.begin(), circle.end());
        const std::size_t c = *first;
        const std::size_t holder = std::next(first) == circle.end() ? circle.front() : *std::next(first);
        const std::string circleText =
            "in a circle of " + std::to_string(circle.size()) + " devices that each wait for the next to leave";

        const DISCOVERY_DATA& record = devices[c].device->record;
        const auto mask = ParseIPv4(ReadTextField(record.subnetMask));
        const std::optional<Subnet> subnet = mask ? DeviceSubnet(*moves[c].from, *mask) : std::nullopt;
        std::optional<std::uint32_t> temporary;
        std::vector<std::string> skipped;
        if (subnet)
            temporary = NextFreeAddress(subnet->Network(), subnet, taken, inUse, skipped);
        if (!temporary) {
            const std::string where =
                subnet ? "in its subnet " + subnet->Text()
                       : "(its mask " + SafeText(ReadTextField(record.subnetMask)) + " is no subnet mask)";
            order.problems.push_back({devices[c].row->line, mac(c) + ": no free temporary address " + where +
                                                                " to go through, and it moves onto " +
                                                                FormatIPv4(*moves[c].to) + ", held by " + mac(holder) +
                                                                ", " + circleText});
            return order;
        }
        taken.insert(*temporary);
        if (!use.Knows(*temporary))
            order.unprobed.push_back(*temporary);
        order.notes.push_back(Line(devices[c]) + ": " + mac(c) + " goes through " + FormatIPv4(*temporary) +
                              " first: it moves onto " + FormatIPv4(*moves[c].to) + ", held by " + mac(holder) + ", " +
                              circleText);
        order.steps.push_back({c, temporary, {}});
        leave(c, order.steps.size() - 1);
    }
    return order;
}

std::vector<std::uint32_t> UnprobedTemporaries(const SaveOrder& order, const AddressUse& use)
{
    std::vector<std::uint32_t> addresses;
    for (const SaveStep& step : order.steps) {
        if (step.temporary && use.WhyNotProbed(*step.temporary))
            addresses.push_back(*step.temporary);
    }
    return addresses;
}

std::vector<PlanProblem> UnprobedTemporaryProblems(const std::vector<PlannedDevice>& devices, const SaveOrder& order,
                                                   const AddressUse& use)
{
    std::vector<PlanProblem> problems;
    for (const SaveStep& step : order.steps) {
        const std::string* why = step.temporary ? use.WhyNotProbed(*step.temporary) : nullptr;
        if (why)
            problems.push_back(
                {devices[step.device].row->line, FormatMac(devices[step.device].row->mac) + ": its temporary address " +
                                                     FormatIPv4(*step.temporary) + " could not be probed (" + *why +
                                                     "): whether another host holds it is unknown"});
    }
    return problems;
}

SettingsChange TemporaryChange(std::uint32_t address)
{
    SettingsChange change;
    change[static_cast<std::size_t>(Setting::Ip)] = FormatIPv4(address);
    change[static_cast<std::size_t>(Setting::Mode)] = "static";
    return change;
}

const SaveWait* UnmetWait(const SaveStep& step, const std::vector<bool>& succeeded)
{
    for (const SaveWait& wait : step.waits) {
        if (!succeeded[wait.step])
            return &wait;
    }
    return nullptr;
}
