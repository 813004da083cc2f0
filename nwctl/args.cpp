#include "args.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "device_fields.h"
#include "ipv4.h"
#include "ipv4_text.h"
#include "safe_text.h"

namespace {

struct CommandEntry {
    const char* word;
    Command command;
};
constexpr CommandEntry kCommands[] = {
    {"search", Command::Search}, {"adapters", Command::Adapters}, {"set", Command::Set},
    {"reboot", Command::Reboot}, {"reset", Command::Reset},       {"plan", Command::Plan},
    {"check", Command::Check},
};

constexpr std::initializer_list<Command> kSearching = {Command::Search, Command::Set,  Command::Reboot,
                                                       Command::Reset,  Command::Plan, Command::Check};
constexpr std::initializer_list<Command> kSending = {Command::Set, Command::Reboot, Command::Reset, Command::Plan};

struct OptionEntry {
    const char* name;
    bool takesValue;
    std::initializer_list<Command> commands;
};
const OptionEntry kOptions[] = {
    {"--adapter", true, kSearching},
    {"--rounds", true, kSearching},
    {"--format", true, {Command::Search, Command::Check}},
    {"--columns", true, {Command::Search}},
    {"--wide", false, {Command::Search}},
    {"--loopback", false, {Command::Adapters}},
    {"--ip", true, {Command::Set}},
    {"--mask", true, {Command::Set, Command::Plan}},
    {"--gateway", true, {Command::Set, Command::Plan}},
    {"--dns", true, {Command::Set, Command::Plan}},
    {"--dhcp", false, {Command::Set}},
    {"--static", false, {Command::Set}},
    {"--web-port", true, {Command::Set}},
    {"--control-port", true, {Command::Set}},
    {"--video-port", true, {Command::Set}},
    {"--audio-transmit-port", true, {Command::Set}},
    {"--audio-receive-port", true, {Command::Set}},
    {"--user", true, kSending},
    {"--password-file", true, kSending},
    {"--timeout", true, {Command::Set, Command::Plan}},
    {"--yes", false, kSending},
    {"--apply", false, {Command::Plan}},
    {"--assign", true, {Command::Plan}},
    {"--product", true, {Command::Plan}},
    {"--min-firmware-date", true, {Command::Check}},
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

bool Allowed(const OptionEntry& option, Command command)
{
    return std::find(option.commands.begin(), option.commands.end(), command) != option.commands.end();
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
            if (value == "table")
                inv_.format = OutputFormat::Table;
            else if (value == "csv" && inv_.command == Command::Search)
                inv_.format = OutputFormat::Csv;
            else if (value == "json")
                inv_.format = OutputFormat::Json;
            else
                return Fail(std::string("--format must be ") +
                            (inv_.command == Command::Search ? "table, csv or json" : "table or json") + ", not " +
                            Quoted(value));
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
        } else if (name == "--min-firmware-date") {
            std::int32_t date = 0;
            if (!Date(value, date))
                return Fail("--min-firmware-date must be a date as YYYYMMDD, such as 20220807, not " + Quoted(value));
            inv_.minFirmwareDate = date;
        }
        return true;
    }

    bool Positional(const std::string& word)
    {
        switch (inv_.command) {
            case Command::Set:
            case Command::Reboot:
            case Command::Reset: {
                if (inv_.command == Command::Set && !inv_.macs.empty())
                    return Fail("set takes one MAC address; " + Quoted(word) + " is one too many");
                const auto mac = ParseMac(word);
                if (!mac)
                    return Fail(NotAMac(word));
                if (std::find(inv_.macs.begin(), inv_.macs.end(), *mac) != inv_.macs.end())
                    return Fail(FormatMac(*mac) + " is named twice");
                inv_.macs.push_back(*mac);
                return true;
            }
            case Command::Plan:
            case Command::Check:
                if (!inv_.file.empty())
                    return Fail(std::string(CommandWord(inv_.command)) + " takes one file; " + Quoted(word) +
                                " is one too many");
                inv_.file = word;
                return true;
            default:
                return Fail(std::string(CommandWord(inv_.command)) + " takes no " + Quoted(word));
        }
    }

    // What the command needs once every word is read.
    bool Complete()
    {
        if (inv_.help)
            return true;
        bool changes = std::any_of(inv_.change.begin(), inv_.change.end(), [](const auto& v) { return v.has_value(); });
        switch (inv_.command) {
            case Command::Set:
                if (inv_.macs.empty())
                    return Fail("set needs the device's MAC address");
                if (!changes)
                    return Fail("set needs at least one setting to change, such as --ip or --web-port");
                break;
            case Command::Reboot:
            case Command::Reset:
                if (inv_.macs.empty())
                    return Fail(std::string(CommandWord(inv_.command)) + " needs the MAC address of every device");
                break;
            case Command::Plan:
                if (inv_.assignFirst) {
                    if (!inv_.file.empty() || inv_.apply)
                        return Fail("plan --assign writes a plan; it takes no plan file and no --apply");
                } else {
                    if (inv_.file.empty())
                        return Fail("plan needs a plan file, or --assign FIRST_ADDRESS to write one");
                    if (changes || !inv_.product.empty())
                        return Fail("--mask, --gateway, --dns and --product go with plan --assign");
                }
                break;
            case Command::Check:
                if (inv_.file.empty())
                    return Fail("check needs a file of the expected devices");
                break;
            default:
                break;
        }
        return true;
    }

private:
    bool Fail(const std::string& text)
    {
        error_ = text;
        return false;
    }

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

    Invocation& inv_;
    std::string& error_;
};

}  // namespace

const char* CommandWord(Command command)
{
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command)
            return entry.word;
    }
    return "nwctl";
}

bool ParseArguments(const std::vector<std::string>& args, Invocation& invocation, std::string& error)
{
    invocation = Invocation{};
    Parser parser(invocation, error);
    std::size_t at = 0;
    bool optionsEnd = false;
    if (at < args.size() && args[at].rfind("-", 0) != 0) {
        for (const CommandEntry& entry : kCommands) {
            if (args[at] == entry.word)
                invocation.command = entry.command;
        }
        if (invocation.command == Command::None) {
            error = "no command " + Quoted(args[at]) +
                    "; the commands are search, adapters, set, reboot, reset, "
                    "plan and check";
            return false;
        }
        ++at;
    }
    for (; at < args.size(); ++at) {
        const std::string& word = args[at];
        if (optionsEnd || word.size() < 2 || word[0] != '-') {
            if (invocation.command == Command::None) {
                error = "give a command first, such as nwctl search";
                return false;
            }
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
        if (name == "--password") {
            error = kPasswordRefused;
            return false;
        }
        if (name == "--help" || name == "-h") {
            invocation.help = true;
            continue;
        }
        if (name == "--version" && invocation.command == Command::None) {
            invocation.version = true;
            continue;
        }
        const OptionEntry* option = FindOption(name == "-y" ? "--yes" : name);
        if (!option || !Allowed(*option, invocation.command)) {
            error = (invocation.command == Command::None
                         ? std::string("no option ")
                         : std::string(CommandWord(invocation.command)) + " has no option ") +
                    Quoted(name);
            return false;
        }
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (at + 1 < args.size()) {
                value = args[++at];
            } else {
                error = name + " needs a value";
                return false;
            }
        } else if (equals != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
        if (!parser.Option(option->name, value))
            return false;
    }
    if (invocation.command == Command::None && !invocation.help && !invocation.version) {
        error = "give a command, such as nwctl search (nwctl --help lists them)";
        return false;
    }
    return parser.Complete();
}
