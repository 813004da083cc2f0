#include "rules/watch_rules.h"

#include <algorithm>
#include <cmath>

#include "io/json.h"
#include "io/safe_text.h"
#include "io/table.h"
#include "ipv4_text.h"
#include "rules/audit_log.h"
#include "text_field.h"
#include "utc_time.h"

namespace {

const char* const kEventNames[kWatchEventKinds] = {"appeared", "gone", "back", "moved", "shared-address"};

constexpr char kFactoryHint[] = "back on a factory default?";

std::string Counted(int count, const char* one, const char* many)
{
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

WatchEvent Event(WatchEventKind kind, std::time_t time, const std::string& mac, const std::string& ip)
{
    WatchEvent event;
    event.kind = kind;
    event.time = time;
    event.mac = mac;
    event.ip = ip;
    return event;
}

const char* StateName(const WatchedDevice& device)
{
    return device.Gone() ? "gone" : device.missed > 0 ? "missed" : "present";
}

}  // namespace

const char* WatchEventName(WatchEventKind kind)
{
    return kEventNames[static_cast<std::size_t>(kind)];
}

Watch::Watch(std::optional<std::uint32_t> defaultAddress) : defaultAddress_(defaultAddress) {}

std::vector<WatchEvent> Watch::Pass(const std::vector<FoundDevice>& found, std::time_t time)
{
    ++passes_;
    std::vector<WatchEvent> events;
    const auto event = [&](WatchEventKind kind, const WatchedDevice& device) -> WatchEvent& {
        events.push_back(Event(kind, time, device.mac, device.ip));
        return events.back();
    };
    std::set<std::string> heard;
    for (const FoundDevice& one : found) {
        const std::string mac = ReadTextField(one.record.macAddress);
        if (!heard.insert(mac).second)
            continue;
        const std::string ip = ReadTextField(one.record.ipAddress);
        const auto known = byMac_.find(mac);
        if (known == byMac_.end()) {
            byMac_.emplace(mac, devices_.size());
            WatchedDevice device;
            device.mac = mac;
            device.ip = device.firstIp = ip;
            device.product = ReadTextField(one.record.productName);
            device.lastSeen = time;
            device.arrived = passes_;
            devices_.push_back(device);
            event(WatchEventKind::Appeared, device);
            continue;
        }
        WatchedDevice& device = devices_[known->second];
        const std::string before = device.ip;
        const std::time_t lastSeen = device.lastSeen;
        const bool wasGone = device.Gone();
        device.ip = ip;
        device.product = ReadTextField(one.record.productName);
        device.lastSeen = time;
        device.missed = 0;
        if (wasGone || ip != before)
            device.arrived = passes_;
        if (wasGone) {
            WatchEvent& back = event(WatchEventKind::Back, device);
            back.previousIp = before;
            back.lastSeen = lastSeen;
        }
        if (ip != before) {
            WatchEvent& moved = event(WatchEventKind::Moved, device);
            moved.previousIp = before;
            moved.factoryDefault = ip == device.firstIp || (defaultAddress_ && ParseIPv4(ip) == defaultAddress_);
        }
    }
    for (WatchedDevice& device : devices_) {
        if (device.Gone() || heard.count(device.mac))
            continue;
        if (++device.missed == kGonePasses)
            event(WatchEventKind::Gone, device).lastSeen = device.lastSeen;
    }

    // Among the devices not gone: one that missed a pass keeps its address.
    std::map<std::string, std::vector<const WatchedDevice*>> atAddress;
    for (const WatchedDevice& device : devices_) {
        if (!device.Gone() && !device.ip.empty())
            atAddress[device.ip].push_back(&device);
    }
    std::map<std::string, std::set<std::string>> shared;
    for (const auto& [ip, there] : atAddress) {
        if (there.size() < 2)
            continue;
        const std::set<std::string>& said = shared_[ip];
        const WatchedDevice* newcomer = nullptr;
        for (const WatchedDevice* device : there) {
            if (!said.count(device->mac) && (!newcomer || device->arrived >= newcomer->arrived))
                newcomer = device;
        }
        std::vector<std::string> macs;
        for (const WatchedDevice* device : there)
            macs.push_back(device->mac);
        if (newcomer) {
            events.push_back(Event(WatchEventKind::Shared, time, newcomer->mac, ip));
            events.back().macs = macs;
        }
        shared[ip] = std::set<std::string>(macs.begin(), macs.end());
    }
    shared_ = std::move(shared);

    for (const WatchEvent& e : events)
        ++counts_[static_cast<std::size_t>(e.kind)];
    return events;
}

int WatchRounds(double intervalSeconds)
{
    return std::clamp(static_cast<int>(std::floor(intervalSeconds / 2.5)), 1, 3);
}

std::string WatchEventLine(const WatchEvent& e)
{
    std::string line = UtcTimestamp(e.time) + ' ' + WatchEventName(e.kind) + ' ';
    const std::string mac = SafeText(e.mac);
    const std::string ip = e.ip.empty() ? "no address" : SafeText(e.ip);
    const std::string previous = e.previousIp.empty() ? "no address" : SafeText(e.previousIp);
    switch (e.kind) {
        case WatchEventKind::Appeared:
            return line + mac + " at " + ip;
        case WatchEventKind::Gone:
            return line + mac + " from " + ip + ", last seen " + UtcTimestamp(e.lastSeen);
        case WatchEventKind::Back:
            return line + mac + " at " + ip + ", gone since " + UtcTimestamp(e.lastSeen);
        case WatchEventKind::Moved:
            return line + mac + " from " + previous + " to " + ip +
                   (e.factoryDefault ? std::string(", ") + kFactoryHint : "");
        case WatchEventKind::Shared: {
            line += ip + " answered by";
            for (std::size_t i = 0; i < e.macs.size(); ++i)
                line += (i == 0 ? " " : i + 1 == e.macs.size() ? " and " : ", ") + SafeText(e.macs[i]);
            return line;
        }
    }
    return line;
}

std::string WatchEventJson(const WatchEvent& e)
{
    JsonMembers members = {{"time", JsonString(UtcTimestamp(e.time))},
                           {"event", JsonString(WatchEventName(e.kind))},
                           {"mac", JsonString(e.mac)},
                           {"ip", JsonString(e.ip)}};
    switch (e.kind) {
        case WatchEventKind::Appeared:
            break;
        case WatchEventKind::Gone:
            members.emplace_back("last_seen", JsonString(UtcTimestamp(e.lastSeen)));
            break;
        case WatchEventKind::Back:
            members.emplace_back("previous_ip", JsonString(e.previousIp));
            members.emplace_back("last_seen", JsonString(UtcTimestamp(e.lastSeen)));
            break;
        case WatchEventKind::Moved:
            members.emplace_back("previous_ip", JsonString(e.previousIp));
            members.emplace_back("factory_default", e.factoryDefault ? "true" : "false");
            break;
        case WatchEventKind::Shared: {
            // On the event's one line, unlike JsonArray's.
            std::string macs;
            for (const std::string& mac : e.macs)
                macs += (macs.empty() ? "[" : ", ") + JsonString(mac);
            members.emplace_back("macs", macs + "]");
            break;
        }
    }
    return JsonObject(members);
}

std::string WatchTable(const Watch& watch)
{
    std::vector<std::vector<std::string>> rows;
    for (const WatchedDevice& device : watch.Devices())
        rows.push_back({SafeText(device.mac), device.ip.empty() ? "-" : SafeText(device.ip), StateName(device),
                        UtcTimestamp(device.lastSeen), device.product.empty() ? "-" : SafeText(device.product)});
    return FormatTable({"mac", "ip", "state", "last_seen", "product"}, rows);
}

std::string WatchSummaryLine(const Watch& watch, std::time_t time)
{
    std::string line = UtcTimestamp(time) + " summary " + Counted(watch.Passes(), "pass", "passes") + ", " +
                       Counted(static_cast<int>(watch.Devices().size()), "device", "devices") + " seen;";
    for (std::size_t kind = 0; kind < kWatchEventKinds; ++kind)
        line += std::string(kind == 0 ? " " : ", ") + std::to_string(watch.Counts()[kind]) + ' ' + kEventNames[kind];
    return line + '\n';
}

std::string WatchSummaryJson(const Watch& watch, std::time_t time)
{
    JsonMembers counts;
    for (std::size_t kind = 0; kind < kWatchEventKinds; ++kind)
        counts.emplace_back(kEventNames[kind], std::to_string(watch.Counts()[kind]));
    return JsonObject({{"time", JsonString(UtcTimestamp(time))},
                       {"event", JsonString("summary")},
                       {"passes", std::to_string(watch.Passes())},
                       {"devices", std::to_string(watch.Devices().size())},
                       {"events", JsonObject(counts)}}) +
           '\n';
}
