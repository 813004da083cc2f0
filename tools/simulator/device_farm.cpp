#include "device_farm.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "config_judge.h"
#include "ipv4_text.h"
#include "record_fields.h"
#include "text_field.h"

DeviceFarm::DeviceFarm(std::vector<SimDevice> devices, const FarmOptions& options, double start) : options_(options)
{
    devices_.reserve(devices.size());
    for (SimDevice& device : devices) {
        const std::size_t i = devices_.size();
        const DeviceBehaviour& b = device.behaviour;
        const auto step = [&](const std::optional<double>& at, FarmEvent::Kind kind, const std::string& address) {
            if (at)
                steps_.push_back(Step{start + *at, i, kind, address});
        };
        step(b.appearAt, FarmEvent::Kind::Arrive, "");
        step(b.leaveAt, FarmEvent::Kind::Leave, "");
        step(b.rejoinAt, FarmEvent::Kind::Arrive, "");
        step(b.moveAt, FarmEvent::Kind::Move, b.moveTo.value_or(""));
        step(b.moveBackAt, FarmEvent::Kind::Move, ReadTextField(device.record.ipAddress));

        DeviceState state;
        state.current = device.record;
        state.away = b.appearAt.has_value();
        // Its MAC text is fixed: settings and resets leave it alone.
        state.hardware = HardwareAddressOf(ReadTextField(device.record.macAddress));
        state.setup = std::move(device);
        devices_.push_back(std::move(state));
        File(i);
    }
    std::stable_sort(steps_.begin(), steps_.end(), [](const Step& a, const Step& b) { return a.due < b.due; });
}

void DeviceFarm::Advance(double now)
{
    for (; nextStep_ < steps_.size() && steps_[nextStep_].due <= now; ++nextStep_) {
        const Step& step = steps_[nextStep_];
        DeviceState& state = devices_[step.device];
        if (step.kind == FarmEvent::Kind::Move) {
            FillField(reinterpret_cast<unsigned char*>(&state.current), *FindRecordField("ipAddress"), step.address);
            File(step.device);
        } else {
            state.away = step.kind == FarmEvent::Kind::Leave;
        }
        FarmEvent event = DeviceEvent(step.kind, step.device, 0);
        event.detail = step.address;
        Schedule(step.due, event);
    }
}

std::string DeviceFarm::Unreachable(const DeviceState& state)
{
    return state.away ? "away" : state.rebooting ? "rebooting" : "";
}

void DeviceFarm::Hear(const unsigned char* data, std::size_t length, std::uint32_t fromAddress, double now)
{
    Advance(now);
    FarmEvent ignored{FarmEvent::Kind::Ignored};
    if (length != DISCOVERY_DATA_SIZE) {
        ignored.detail = "length " + std::to_string(length) + ", not " + std::to_string(DISCOVERY_DATA_SIZE);
        Schedule(now, ignored);
        return;
    }
    DISCOVERY_DATA request;
    std::memcpy(&request, data, sizeof request);
    switch (request.command) {
        case DISCOVERY_CMD_SEARCH:
            HearSearch(fromAddress, now);
            return;
        case DISCOVERY_CMD_SET_CONFIG:
            HearConfig(request, fromAddress, now);
            return;
        case DISCOVERY_CMD_REBOOT:
        case DISCOVERY_CMD_FACTORY_RESET:
            HearRestart(request, now);
            return;
        default:
            ignored.command = request.command;
            ignored.detail = "command " + std::to_string(request.command) + " is not a request";
            Schedule(now, ignored);
    }
}

void DeviceFarm::HearSearch(std::uint32_t fromAddress, double now)
{
    const double count = static_cast<double>(devices_.size());
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        DeviceState& state = devices_[i];
        const DeviceBehaviour& behaviour = state.setup.behaviour;
        FarmEvent quiet = DeviceEvent(FarmEvent::Kind::Quiet, i, DISCOVERY_CMD_SEARCH);
        quiet.detail = Unreachable(state);
        if (quiet.detail.empty()) {
            ++state.searchesHeard;
            if (behaviour.silent)
                quiet.detail = "silent";
            else if (behaviour.answers && state.searchesHeard > *behaviour.answers)
                quiet.detail = "answers only its first " + std::to_string(*behaviour.answers) + " searches";
            else if (behaviour.repeat == 0)
                quiet.detail = "repeat is 0";
        }
        if (!quiet.detail.empty()) {
            Schedule(now, quiet);
            continue;
        }
        OutgoingDatagram reply{i, ReplyAddress(state, fromAddress), state.current};
        reply.record.command = DISCOVERY_CMD_SEARCH_REPLY;
        const double due =
            now + behaviour.delay.value_or(options_.delay) + options_.spread * static_cast<double>(i) / count;
        for (std::uint32_t copy = 0; copy < behaviour.repeat; ++copy)
            Schedule(due, reply);
    }
}

void DeviceFarm::HearConfig(const DISCOVERY_DATA& request, std::uint32_t fromAddress, double now)
{
    for (std::size_t i : Addressees(request, now)) {
        DeviceState& state = devices_[i];
        const DeviceBehaviour& behaviour = state.setup.behaviour;
        if (!Unreachable(state).empty()) {
            FarmEvent quiet = DeviceEvent(FarmEvent::Kind::Quiet, i, DISCOVERY_CMD_SET_CONFIG);
            quiet.detail = Unreachable(state);
            Schedule(now, quiet);
            continue;
        }
        FarmEvent verdict = DeviceEvent(FarmEvent::Kind::Config, i, DISCOVERY_CMD_SET_CONFIG);
        if (behaviour.applyResult) {
            verdict.result = *behaviour.applyResult;
            verdict.forced = true;
        } else if (!CredentialsMatch(request, state.setup.userId, state.setup.password)) {
            verdict.result = DISCOVERY_RESULT_LOGIN_FAILED;
        } else {
            verdict.result = JudgeSettings(request);
            if (verdict.result == DISCOVERY_RESULT_OK) {
                TakeSettings(state.current, request);
                File(i);
                verdict.applied = true;
            }
        }
        verdict.replies = behaviour.silent ? 0 : behaviour.applyCount;
        Schedule(now, verdict);

        OutgoingDatagram reply{i, ReplyAddress(state, fromAddress), state.current};
        reply.record.command = DISCOVERY_CMD_SET_CONFIG;
        reply.record.result = verdict.result;
        if (behaviour.applyMac)
            FillField(reinterpret_cast<unsigned char*>(&reply.record), *FindRecordField("macAddress"),
                      *behaviour.applyMac);
        for (std::uint32_t copy = 0; copy < verdict.replies; ++copy)
            Schedule(now + behaviour.applyDelay, reply);
    }
}

void DeviceFarm::HearRestart(const DISCOVERY_DATA& request, double now)
{
    const bool reset = request.command == DISCOVERY_CMD_FACTORY_RESET;
    for (std::size_t i : Addressees(request, now)) {
        DeviceState& state = devices_[i];
        if (!Unreachable(state).empty()) {
            FarmEvent quiet = DeviceEvent(FarmEvent::Kind::Quiet, i, request.command);
            quiet.detail = Unreachable(state);
            Schedule(now, quiet);
            continue;
        }
        if (!CredentialsMatch(request, state.setup.userId, state.setup.password)) {
            FarmEvent refused = DeviceEvent(FarmEvent::Kind::Refused, i, request.command);
            refused.detail = "login failed";
            Schedule(now, refused);
            continue;
        }
        const double seconds = state.setup.behaviour.rebootTime.value_or(options_.rebootTime);
        state.rebooting = true;
        if (reset) {
            state.current = state.setup.record;
            File(i);
        }
        FarmEvent restart =
            DeviceEvent(reset ? FarmEvent::Kind::FactoryReset : FarmEvent::Kind::Reboot, i, request.command);
        restart.until = now + seconds;
        Schedule(now, restart);
        Schedule(now + seconds, WakeUp{i});
    }
}

std::vector<std::size_t> DeviceFarm::Addressees(const DISCOVERY_DATA& request, double now)
{
    const std::string mac = ReadTextField(request.macAddress);
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (ReadTextField(devices_[i].current.macAddress) == mac)
            matches.push_back(i);
    }
    if (matches.empty()) {
        FarmEvent none{FarmEvent::Kind::NoMatch};
        none.command = request.command;
        none.detail = mac;
        Schedule(now, none);
    }
    return matches;
}

FarmEvent DeviceFarm::DeviceEvent(FarmEvent::Kind kind, std::size_t device, std::uint32_t command) const
{
    FarmEvent event{kind};
    event.device = device;
    event.mac = ReadTextField(devices_[device].current.macAddress);
    event.command = command;
    return event;
}

std::uint32_t DeviceFarm::ReplyAddress(const DeviceState& state, std::uint32_t fromAddress) const
{
    return state.setup.behaviour.broadcast.value_or(options_.broadcastReplies) ? kBroadcastAddress : fromAddress;
}

std::vector<HardwareAddress> DeviceFarm::ArpAnswers(const ArpRequest& request, double now)
{
    Advance(now);
    std::vector<HardwareAddress> answers;
    const auto holders = holders_.find(request.targetAddress);
    if (holders == holders_.end())
        return answers;
    for (const std::size_t i : holders->second) {
        const DeviceState& state = devices_[i];
        if (Unreachable(state).empty() && HearsArpRequest(*state.hardware, request))
            answers.push_back(*state.hardware);
    }
    return answers;
}

void DeviceFarm::File(std::size_t device)
{
    DeviceState& state = devices_[device];
    if (!state.hardware)
        return;
    const std::optional<std::uint32_t> address = ParseIPv4(ReadTextField(state.current.ipAddress));
    if (address == state.filedAt)
        return;
    if (state.filedAt) {
        std::vector<std::size_t>& before = holders_[*state.filedAt];
        before.erase(std::find(before.begin(), before.end(), device));
        if (before.empty())
            holders_.erase(*state.filedAt);
    }
    if (address)
        holders_[*address].push_back(device);
    state.filedAt = address;
}

void DeviceFarm::Schedule(double due, std::variant<OutgoingDatagram, FarmEvent, WakeUp> what)
{
    queue_.push(Pending{due, scheduled_++, std::move(what)});
}

std::optional<double> DeviceFarm::NextDue() const
{
    std::optional<double> next;
    if (!queue_.empty())
        next = queue_.top().due;
    if (nextStep_ < steps_.size() && (!next || steps_[nextStep_].due < *next))
        next = steps_[nextStep_].due;
    return next;
}

std::vector<FarmOutput> DeviceFarm::TakeDue(double now)
{
    Advance(now);
    std::vector<FarmOutput> due;
    while (!queue_.empty() && queue_.top().due <= now) {
        Pending next = queue_.top();
        queue_.pop();
        if (const auto* wake = std::get_if<WakeUp>(&next.what)) {
            devices_[wake->device].rebooting = false;
            due.push_back(FarmOutput{next.due, DeviceEvent(FarmEvent::Kind::Back, wake->device, 0)});
        } else if (auto* datagram = std::get_if<OutgoingDatagram>(&next.what)) {
            due.push_back(FarmOutput{next.due, std::move(*datagram)});
        } else {
            due.push_back(FarmOutput{next.due, std::move(std::get<FarmEvent>(next.what))});
        }
    }
    return due;
}
