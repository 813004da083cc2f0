#include "cli/args.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "device/device_fields.h"
#include "device/setting_values.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "probe/probe_operands.h"
#include "subnet.h"

namespace {

// Every option of every command; the command table says which command takes
// which.
struct OptionEntry {
    const char* name;
    bool takesValue;
};
const OptionEntry kOptions[] = {
    {"--adapter", true},
    {"--rounds", true},
    {"--format", true},
    {"--columns", true},
    {"--wide", false},
    {"--loopback", false},
    {"--ip", true},
    {"--mask", true},
    {"--gateway", true},
    {"--dns", true},
    {"--dhcp", false},
    {"--static", false},
    {"--web-port", true},
    {"--control-port", true},
    {"--video-port", true},
    {"--audio-transmit-port", true},
    {"--audio-receive-port", true},
    {"--user", true},
    {"--password-file", true},
    {"--timeout", true},
    {"--yes", false},
    {"--apply", false},
    {"--assign", true},
    {"--unprobed-ok", false},
    {"--product", true},
    {"--min-firmware-date", true},
    {"--inventory", true},
    {"--audit", true},
    {"--site", true},
    {"--output", true},
    {"--interval", true},
    {"--default-ip", true},
};

constexpr char kPasswordRefused[] =
    "--password is refused: a password on the command line can be read by every user of this computer and stays "
    "in the shell's history. Set NW_PASSWORD, give --password-file FILE, or type it at the prompt. Nothing was sent";

const OptionEntry* FindOption(std::string_view name)
{
    for (const OptionEntry& option : kOptions) {
        if (name == option.name)
            return &option;
    }
    return nullptr;
}

bool Takes(const CommandEntry* command, std::string_view option)
{
    if (!command)
        return false;
    if (option == "--format")
        return command->formats.size() > 0;
    for (const auto& group : command->options) {
        if (std::find(group.begin(), group.end(), option) != group.end())
            return true;
    }
    return false;
}

const char* FormatName(OutputFormat format)
{
    switch (format) {
        case OutputFormat::Table:
            return "table";
        case OutputFormat::Csv:
            return "csv";
        case OutputFormat::Json:
            return "json";
        case OutputFormat::Html:
            return "html";
        case OutputFormat::Lines:
            return "lines";
        case OutputFormat::Jsonl:
            return "jsonl";
    }
    return "";
}

// "a, b or c": the texts of `items` as a sentence lists them.
template <typename Items, typename Text>
std::string Listed(const Items& items, Text text, const char* last)
{
    std::string list;
    const auto count = static_cast<std::size_t>(std::distance(std::begin(items), std::end(items)));
    std::size_t at = 0;
    for (const auto& item : items) {
        list += at == 0 ? "" : at + 1 == count ? std::string(" ") + last + " " : ", ";
        list += text(item);
        ++at;
    }
    return list;
}

bool AnyChange(const SettingsChange& change)
{
    return std::any_of(change.begin(), change.end(), [](const auto& value) { return value.has_value(); });
}

bool Refuse(std::string& error, const std::string& text)
{
    error = text;
    return false;
}

std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    quoted += ShortText(text);
    quoted += '"';
    return quoted;
}

// A whole number from `low` to `high`, digits only.
bool WholeNumber(std::string_view text, long low, long high, long& value)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    value = std::stol(std::string(text));
    return value >= low && value <= high;
}

// Seconds as digits with an optional fraction: "5", "0.5", "2.25".
bool Seconds(std::string_view text, double& seconds)
{
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    long wholeValue = 0;
    if (!WholeNumber(whole, 0, 3600, wholeValue) || (dot != std::string_view::npos && fraction.empty()) ||
        fraction.size() > 6 ||
        !std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    double scale = 0.1;
    seconds = static_cast<double>(wholeValue);
    for (const char c : fraction) {
        seconds += (c - '0') * scale;
        scale /= 10;
    }
    return seconds > 0 && seconds <= 3600;
}

bool Date(std::string_view text, std::int32_t& date)
{
    long value = 0;
    if (text.size() != 8 || !WholeNumber(text, 0, 99999999, value))
        return false;
    const long month = value / 100 % 100;
    const long day = value % 100;
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    date = static_cast<std::int32_t>(value);
    return true;
}

class Parser {
public:
    Parser(Invocation& invocation, std::string& error) : inv_(invocation), error_(error) {}

    bool Option(const std::string& name, const std::string& value)
    {
        auditWords_ = name == "--audit";
        if (name == "--adapter") {
            if (value.empty())
                return Fail("--adapter needs an adapter's name or address, or all");
            inv_.adapter = value;
        } else if (name == "--rounds") {
            long rounds = 0;
            if (!WholeNumber(value, 1, 100, rounds))
                return Fail("--rounds must be a whole number from 1 to 100, not " + Quoted(value));
            inv_.rounds = static_cast<int>(rounds);
        } else if (name == "--format") {
            const auto& formats = inv_.command->formats;
            const auto format = std::find_if(formats.begin(), formats.end(),
                                             [&value](OutputFormat f) { return value == FormatName(f); });
            if (format == formats.end())
                return Fail("--format must be " + Listed(formats, FormatName, "or") + ", not " + Quoted(value));
            inv_.format = *format;
        } else if (name == "--columns") {
            return Columns(value);
        } else if (name == "--wide") {
            if (!inv_.columns.empty())
                return Fail(kColumnsOrWide);
            inv_.wide = true;
        } else if (name == "--loopback") {
            inv_.loopback = true;
        } else if (name == "--ip" || name == "--mask" || name == "--gateway" || name == "--dns") {
            return Address(name, value);
        } else if (name == "--dhcp" || name == "--static") {
            auto& mode = inv_.change[static_cast<std::size_t>(Setting::Mode)];
            const std::string wanted = name.substr(2);
            if (mode && *mode != wanted)
                return Fail("--dhcp and --static exclude each other");
            mode = wanted;
        } else if (name.size() > 7 && name.compare(name.size() - 5, 5, "-port") == 0) {
            return Port(name, value);
        } else if (name == "--user") {
            inv_.user = value;
        } else if (name == "--password-file") {
            inv_.passwordFile = value;
        } else if (name == "--timeout") {
            if (!Seconds(value, inv_.timeoutSeconds))
                return Fail("--timeout must be seconds, more than 0 and at most 3600, such as 5 or 0.5, not " +
                            Quoted(value));
        } else if (name == "--yes") {
            inv_.yes = true;
        } else if (name == "--apply") {
            inv_.apply = true;
        } else if (name == "--unprobed-ok") {
            inv_.unprobedOk = true;
        } else if (name == "--assign") {
            inv_.assignFirst = ParseIPv4(value);
            if (!inv_.assignFirst)
                return Fail("--assign needs the first address to give, as dotted IPv4 such as 192.0.2.10, not " +
                            Quoted(value));
            if (!IsHostAddress(*inv_.assignFirst))
                return Fail("--assign " + value +
                            " cannot be a device's address: give one outside 0.0.0.0/8, 127.0.0.0/8 and 224.0.0.0 "
                            "and above");
        } else if (name == "--product") {
            inv_.product = value;
        } else if (name == "--interval") {
            if (!Seconds(value, inv_.intervalSeconds) || inv_.intervalSeconds < 1)
                return Fail("--interval must be seconds from 1 to 3600, such as 5 or 2.5, not " + Quoted(value));
        } else if (name == "--default-ip") {
            inv_.defaultIp = ParseIPv4(value);
            if (!inv_.defaultIp)
                return Fail("--default-ip must be a dotted IPv4 address such as 192.0.2.10, not " + Quoted(value));
        } else if (name == "--min-firmware-date") {
            std::int32_t date = 0;
            if (!Date(value, date))
                return Fail("--min-firmware-date must be a date as YYYYMMDD, such as 20220807, not " + Quoted(value));
            inv_.minFirmwareDate = date;
        } else if (name == "--inventory" || name == "--output") {
            if (value.empty())
                return Fail(name + " needs a file's name");
            (name == "--output" ? inv_.output : inv_.inventory.emplace()) = value;
        } else if (name == "--audit") {
            return Audit(value);
        } else if (name == "--site") {
            inv_.site = value;
        }
        return true;
    }

    bool Positional(const std::string& word)
    {
        // --audit LOG... takes every word up to the next option, so that a
        // shell pattern gives it every log.
        if (auditWords_)
            return Audit(word);
        const std::string command = inv_.command->word;
        switch (inv_.command->operands) {
            case Operands::OneMac:
            case Operands::Macs: {
                if (inv_.command->operands == Operands::OneMac && !inv_.macs.empty())
                    return Fail(command + " takes one MAC address; " + Quoted(word) + " is one too many");
                const auto mac = ParseMac(word);
                if (!mac)
                    return Fail(NotAMac(word));
                if (std::find(inv_.macs.begin(), inv_.macs.end(), *mac) != inv_.macs.end())
                    return Fail(FormatMac(*mac) + " is named twice");
                inv_.macs.push_back(*mac);
                return true;
            }
            case Operands::OneFile:
                if (!inv_.file.empty())
                    return Fail(command + " takes one file; " + Quoted(word) + " is one too many");
                inv_.file = word;
                return true;
            case Operands::Addresses:
                return AddProbeOperand(word, inv_.addresses, error_);
            case Operands::None:
                break;
        }
        return Fail(command + " takes no " + Quoted(word));
    }

    // What the command needs once every word is read.
    bool Complete()
    {
        if (inv_.help || inv_.version)
            return true;
        const CommandEntry& command = *inv_.command;
        if (command.missing && inv_.macs.empty() && inv_.file.empty() && inv_.addresses.empty())
            return Fail(std::string(command.word) + " needs " + command.missing);
        return !command.check || command.check(inv_, error_);
    }

private:
    bool Fail(const std::string& text) { return Refuse(error_, text); }

    static constexpr char kColumnsOrWide[] = "--columns and --wide exclude each other";

    // Field names joined by commas, each once; a repeated --columns adds
    // to the list, as ps -o does.
    bool Columns(const std::string& value)
    {
        if (inv_.wide)
            return Fail(kColumnsOrWide);
        for (std::size_t start = 0;;) {
            const std::size_t comma = value.find(',', start);
            const std::string name = value.substr(start, comma == std::string::npos ? comma : comma - start);
            const auto field = FieldNamed(name);
            if (!field && name.empty())
                return Fail("--columns takes field names joined by commas, such as mac,ip,product, not " +
                            Quoted(value));
            if (!field)
                return Fail("--columns: no field " + Quoted(name) + "; the fields are " + FieldNameList());
            if (std::find(inv_.columns.begin(), inv_.columns.end(), *field) != inv_.columns.end())
                return Fail("--columns names " + Quoted(name) + " twice");
            inv_.columns.push_back(*field);
            if (comma == std::string::npos)
                return true;
            start = comma + 1;
        }
    }

    bool Address(const std::string& name, const std::string& value)
    {
        if (!ParseIPv4(value))
            return Fail(name + " must be a dotted IPv4 address such as 192.0.2.10, not " + Quoted(value));
        inv_.change[static_cast<std::size_t>(*SettingNamed(name.substr(2)))] = value;
        return true;
    }

    bool Port(const std::string& name, const std::string& value)
    {
        std::string setting = name.substr(2);
        std::replace(setting.begin(), setting.end(), '-', '_');
        std::string canonical, error;
        if (!ParseSettingValue(*SettingNamed(setting), value, canonical, error))
            return Fail(name + " must be a whole number from 0 to 65535, not " + Quoted(value));
        inv_.change[static_cast<std::size_t>(*SettingNamed(setting))] = canonical;
        return true;
    }

    bool Audit(const std::string& path)
    {
        if (path.empty())
            return Fail("--audit needs an audit log's name");
        inv_.audits.push_back(path);
        return true;
    }

    Invocation& inv_;
    std::string& error_;
    bool auditWords_ = false;  // the words that follow are logs for --audit
};

}  // namespace

bool CheckSetArguments(const Invocation& invocation, std::string& error)
{
    return AnyChange(invocation.change) ||
           Refuse(error, "set needs at least one setting to change, such as --ip or --web-port");
}

bool CheckPlanArguments(const Invocation& invocation, std::string& error)
{
    if (invocation.assignFirst) {
        if (!invocation.file.empty() || invocation.apply)
            return Refuse(error, "plan --assign writes a plan; it takes no plan file and no --apply");
    } else {
        if (invocation.file.empty())
            return Refuse(error, "plan needs a plan file, or --assign FIRST_ADDRESS to write one");
        if (AnyChange(invocation.change) || !invocation.product.empty())
            return Refuse(error, "--mask, --gateway, --dns and --product go with plan --assign");
    }
    return true;
}

bool CheckReportArguments(const Invocation& invocation, std::string& error)
{
    return !invocation.output.empty() || Refuse(error, "report needs -o FILE, the file to write the report to");
}

bool ParseArguments(const std::vector<std::string>& args, const CommandTable& commands, Invocation& invocation,
                    std::string& error)
{
    invocation = Invocation{};
    Parser parser(invocation, error);
    std::size_t at = 0;
    bool optionsEnd = false;
    if (at < args.size() && args[at].rfind("-", 0) != 0) {
        for (const CommandEntry& command : commands) {
            if (args[at] == command.word)
                invocation.command = &command;
        }
        if (invocation.command && invocation.command->formats.size() > 0)
            invocation.format = *invocation.command->formats.begin();
        if (!invocation.command)
            return Refuse(error, "no command " + Quoted(args[at]) + "; the commands are " +
                                     Listed(
                                         commands, [](const CommandEntry& command) { return command.word; }, "and"));
        ++at;
    }
    for (; at < args.size(); ++at) {
        const std::string& word = args[at];
        if (optionsEnd || word.size() < 2 || word[0] != '-') {
            if (!invocation.command)
                return Refuse(error, "give a command first, such as nwctl search");
            if (!parser.Positional(word))
                return false;
            continue;
        }
        if (word == "--") {
            optionsEnd = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (name == "--password")
            return Refuse(error, kPasswordRefused);
        if (name == "--help" || name == "-h") {
            invocation.help = true;
            continue;
        }
        if (name == "--version" && !invocation.command) {
            invocation.version = true;
            continue;
        }
        const OptionEntry* option = FindOption(name == "-y" ? "--yes" : name == "-o" ? "--output" : name);
        if (!option || !Takes(invocation.command, option->name))
            return Refuse(error, (invocation.command ? std::string(invocation.command->word) + " has no option "
                                                     : std::string("no option ")) +
                                     Quoted(name));
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (at + 1 < args.size()) {
                value = args[++at];
            } else {
                return Refuse(error, name + " needs a value");
            }
        } else if (equals != std::string::npos) {
            return Refuse(error, name + " takes no value");
        }
        if (!parser.Option(option->name, value))
            return false;
    }
    if (!invocation.command && !invocation.help && !invocation.version)
        return Refuse(error, "give a command, such as nwctl search (nwctl --help lists them)");
    return parser.Complete();
}
