#include "options.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "device_file.h"
#include "device_settings.h"
#include "hex.h"
#include "ipv4_text.h"

namespace {

// Walks the arguments; "--name value" and "--name=value" are the same.
class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& args) : args_(args) {}

    bool Next()
    {
        if (index_ >= args_.size())
            return false;
        const std::string& arg = args_[index_++];
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name_ = arg.substr(0, equals);
            inlineValue_ = arg.substr(equals + 1);
        } else {
            name_ = arg;
            inlineValue_.reset();
        }
        return true;
    }

    const std::string& Name() const { return name_; }

    bool Value(std::string& value, std::string& error)
    {
        if (inlineValue_) {
            value = *inlineValue_;
            return true;
        }
        if (index_ >= args_.size()) {
            error = name_ + " needs a value";
            return false;
        }
        value = args_[index_++];
        return true;
    }

    // A flag takes no value.
    bool NoValue(std::string& error)
    {
        if (inlineValue_) {
            error = name_ + " takes no value";
            return false;
        }
        return true;
    }

private:
    const std::vector<std::string>& args_;
    std::size_t index_ = 0;
    std::string name_;
    std::optional<std::string> inlineValue_;
};

bool Number(ArgumentReader& reader, std::uint64_t low, std::uint64_t high, std::uint64_t& number, std::string& error)
{
    std::string value;
    if (!reader.Value(value, error))
        return false;
    if (!ParseUnsigned(value, high, number) || number < low) {
        error = reader.Name() + ": '" + value + "' is not a whole number from " + std::to_string(low) + " to " +
                std::to_string(high);
        return false;
    }
    return true;
}

bool Port(ArgumentReader& reader, std::uint64_t low, std::uint16_t& port, std::string& error)
{
    std::uint64_t number = 0;
    if (!Number(reader, low, 65535, number, error))
        return false;
    port = static_cast<std::uint16_t>(number);
    return true;
}

bool Seconds(ArgumentReader& reader, double& seconds, std::string& error)
{
    std::string value;
    if (!reader.Value(value, error))
        return false;
    if (!ParseSeconds(value, seconds)) {
        error = reader.Name() + ": '" + value + "' is not a number of seconds from 0 to 86400";
        return false;
    }
    return true;
}

bool Address(ArgumentReader& reader, std::string& address, std::string& error)
{
    if (!reader.Value(address, error))
        return false;
    if (!IsDottedIPv4(address)) {
        error = reader.Name() + ": '" + address + "' is not a dotted IPv4 address";
        return false;
    }
    return true;
}

bool ReadFile(const std::string& path, std::string& text, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    char buffer[65536];
    std::size_t got = 0;
    text.clear();
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool ParseServe(ArgumentReader& reader, ServeOptions& o, std::string& error)
{
    std::string value;
    std::uint64_t number = 0;
    while (reader.Next()) {
        const std::string& name = reader.Name();
        if (name == "--devices") {
            if (!Number(reader, 1, kMaxDevices, number, error))
                return false;
            for (std::uint64_t i = 0; i < number; ++i)
                o.devices.push_back(MakePatternedDevice(o.devices.size()));
        } else if (name == "--device") {
            if (!reader.Value(value, error))
                return false;
            SimDevice device = MakePatternedDevice(o.devices.size());
            if (!ApplyDeviceSettingList(device, value, error)) {
                error = "--device " + value + ": " + error;
                return false;
            }
            o.devices.push_back(std::move(device));
        } else if (name == "--config") {
            std::string text;
            if (!reader.Value(value, error) || !ReadFile(value, text, error))
                return false;
            if (!ParseDeviceFile(text, o.devices, error)) {
                error = value + ": " + error;
                return false;
            }
        } else if (name == "--log") {
            if (!reader.Value(o.logPath, error))
                return false;
        } else if (name == "--bind") {
            if (!Address(reader, o.bindAddress, error))
                return false;
        } else if (name == "--port") {
            if (!Port(reader, 1, o.port, error))
                return false;
        } else if (name == "--reply-port") {
            if (!Port(reader, 1, o.replyPort, error))
                return false;
        } else if (name == "--broadcast") {
            if (!reader.NoValue(error))
                return false;
            o.farm.broadcastReplies = true;
        } else if (name == "--arp" || name == "--no-arp") {
            if (!reader.NoValue(error))
                return false;
            o.answerArp = name == "--arp";
        } else if (name == "--delay") {
            if (!Seconds(reader, o.farm.delay, error))
                return false;
        } else if (name == "--spread") {
            if (!Seconds(reader, o.farm.spread, error))
                return false;
        } else if (name == "--burst") {
            if (!reader.NoValue(error))
                return false;
            o.farm.spread = 0;
        } else if (name == "--reboot-time") {
            if (!Seconds(reader, o.farm.rebootTime, error))
                return false;
        } else if (name == "--sndbuf" || name == "--rcvbuf") {
            if (!Number(reader, 4096, 1 << 30, number, error))
                return false;
            (name == "--sndbuf" ? o.sendBuffer : o.receiveBuffer) = static_cast<int>(number);
        } else {
            error = "unknown option " + name;
            return false;
        }
        if (o.devices.size() > kMaxDevices) {
            error = "at most " + std::to_string(kMaxDevices) + " devices";
            return false;
        }
    }
    if (o.devices.empty()) {
        error = "no devices: give --devices N, --device key=value,... or --config FILE";
        return false;
    }
    // Only now: a device's keys may come in any order, and from a file.
    for (std::size_t i = 0; i < o.devices.size(); ++i) {
        if (!CheckTimeline(o.devices[i].behaviour, error)) {
            error = "device " + std::to_string(i + 1) + ": " + error;
            return false;
        }
    }
    return true;
}

bool ParseSend(ArgumentReader& reader, SendOptions& o, std::string& error)
{
    std::string value;
    std::uint64_t number = 0;
    while (reader.Next()) {
        const std::string& name = reader.Name();
        if (name == "--to") {
            if (!Address(reader, o.to, error))
                return false;
        } else if (name == "--port") {
            if (!Port(reader, 1, o.port, error))
                return false;
        } else if (name == "--from") {
            if (!Address(reader, o.from, error))
                return false;
        } else if (name == "--from-port") {
            if (!Port(reader, 0, o.fromPort, error))
                return false;
        } else if (name == "--size") {
            if (!Number(reader, 0, kMaxDatagramSize, number, error))
                return false;
            o.datagram.size = static_cast<std::size_t>(number);
        } else if (name == "--pad") {
            if (!Number(reader, 0, 255, number, error))
                return false;
            o.datagram.pad = static_cast<unsigned char>(number);
        } else if (name == "--raw") {
            std::string bytes;
            if (!reader.Value(value, error))
                return false;
            if (!ParseHex(value, bytes) || bytes.size() > kMaxDatagramSize) {
                error = "--raw: '" + value + "' is not hex of at most " + std::to_string(kMaxDatagramSize) + " bytes";
                return false;
            }
            o.datagram.raw = bytes;
        } else if (name == "--repeat") {
            if (!Number(reader, 1, 1000000, number, error))
                return false;
            o.repeat = static_cast<std::uint32_t>(number);
        } else if (name == "--interval") {
            if (!Seconds(reader, o.interval, error))
                return false;
        } else if (name == "--log") {
            if (!reader.Value(o.logPath, error))
                return false;
        } else if (name.rfind("--", 0) == 0 && name.size() > 2) {
            if (!reader.Value(value, error))
                return false;
            if (!ApplyRecordSetting(o.datagram.record, name.substr(2), value, error)) {
                error = name + ": " + error;
                return false;
            }
        } else {
            error = "unexpected argument " + name;
            return false;
        }
    }
    if (o.to.empty()) {
        error = "send needs --to ADDRESS";
        return false;
    }
    return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& commandLine, std::string& error)
{
    for (const std::string& arg : args) {
        if (arg == "-h" || arg == "--help" || (&arg == &args.front() && arg == "help")) {
            commandLine.mode = CommandLine::Mode::Help;
            return true;
        }
    }
    std::vector<std::string> rest = args;
    commandLine.mode = CommandLine::Mode::Serve;
    if (!rest.empty() && rest.front().rfind("-", 0) != 0) {
        const std::string mode = rest.front();
        rest.erase(rest.begin());
        if (mode == "send")
            commandLine.mode = CommandLine::Mode::Send;
        else if (mode == "check")
            commandLine.mode = CommandLine::Mode::Check;
        else if (mode != "serve") {
            error = "unknown mode " + mode + " (serve, send or check)";
            return false;
        }
    }
    ArgumentReader reader(rest);
    if (commandLine.mode == CommandLine::Mode::Send)
        return ParseSend(reader, commandLine.send, error);
    return ParseServe(reader, commandLine.serve, error);
}
