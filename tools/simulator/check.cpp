// `nwsim check`: the devices as serve would play them, for checking a
// command line or a description file without touching the network.
#include <cstdio>
#include <optional>
#include <utility>

#include "log_json.h"
#include "modes.h"

namespace {

std::string BehaviourJson(const DeviceBehaviour& b)
{
    JsonObject json;
    if (b.delay)
        json.Seconds("delay", *b.delay);
    if (b.answers)
        json.Number("answers", *b.answers);
    json.Number("repeat", b.repeat).Flag("silent", b.silent);
    if (b.broadcast)
        json.Flag("broadcast", *b.broadcast);
    if (b.applyResult)
        json.Number("applyResult", *b.applyResult);
    json.Number("applyCount", b.applyCount);
    if (b.applyMac)
        json.Text("applyMac", *b.applyMac);
    json.Seconds("applyDelay", b.applyDelay);
    if (b.rebootTime)
        json.Seconds("rebootTime", *b.rebootTime);
    const std::pair<const char*, const std::optional<double>*> times[] = {
        {"appearAt", &b.appearAt}, {"leaveAt", &b.leaveAt}, {"rejoinAt", &b.rejoinAt}, {"moveAt", &b.moveAt}};
    for (const auto& [key, at] : times) {
        if (*at)
            json.Seconds(key, **at);
    }
    if (b.moveTo)
        json.Text("moveTo", *b.moveTo);
    if (b.moveBackAt)
        json.Seconds("moveBackAt", *b.moveBackAt);
    return json.Str();
}

}  // namespace

int RunCheck(const ServeOptions& options)
{
    for (std::size_t i = 0; i < options.devices.size(); ++i) {
        const SimDevice& device = options.devices[i];
        JsonObject line;
        line.Number("device", i);
        line.Raw("record", DecodeRecord(reinterpret_cast<const unsigned char*>(&device.record), sizeof device.record));
        line.Text("userId", device.userId).Text("password", device.password);
        line.Raw("behaviour", BehaviourJson(device.behaviour));
        std::printf("%s\n", line.Str().c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
