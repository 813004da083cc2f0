#include "cli/options.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/args.h"
#include "device/device_fields.h"
#include "device/setting_names.h"
#include "device/setting_values.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "subnet.h"

std::string QuotedArgument(std::string_view text)
{
    std::string quoted = "\"";
    quoted += ShortText(text);
    quoted += '"';
    return quoted;
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

namespace {

bool Refuse(std::string& error, const std::string& text)
{
    error = text;
    return false;
}

std::string Named(const OptionUse& use)
{
    return std::string(use.name);
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

bool ParseFlag(const OptionUse&, std::string_view, bool& into, std::string&)
{
    into = true;
    return true;
}

bool ParseText(const OptionUse&, std::string_view value, std::string& into, std::string&)
{
    into = value;
    return true;
}

bool ParseOptionalText(const OptionUse&, std::string_view value, std::optional<std::string>& into, std::string&)
{
    into = value;
    return true;
}

bool ParseAdapter(const OptionUse&, std::string_view value, std::string& into, std::string& error)
{
    if (value.empty())
        return Refuse(error, "--adapter needs an adapter's name or address, or all");
    into = value;
    return true;
}

bool ParseRounds(const OptionUse&, std::string_view value, int& into, std::string& error)
{
    long rounds = 0;
    if (!WholeNumber(value, 1, 100, rounds))
        return Refuse(error, "--rounds must be a whole number from 1 to 100, not " + QuotedArgument(value));
    into = static_cast<int>(rounds);
    return true;
}

bool ParseFormat(const OptionUse& use, std::string_view value, OutputFormat& into, std::string& error)
{
    const auto& formats = use.command.formats;
    const auto format =
        std::find_if(formats.begin(), formats.end(), [&value](OutputFormat f) { return value == FormatName(f); });
    if (format == formats.end())
        return Refuse(error,
                      "--format must be " + Listed(formats, FormatName, "or") + ", not " + QuotedArgument(value));
    into = *format;
    return true;
}

constexpr char kColumnsOrWide[] = "--columns and --wide exclude each other";

// Field names joined by commas, each once; a repeated --columns adds to the
// list, as ps -o does.
bool ParseColumns(const OptionUse&, std::string_view value, Columns& into, std::string& error)
{
    if (into.wide)
        return Refuse(error, kColumnsOrWide);
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        const std::string_view name = value.substr(start, comma == std::string_view::npos ? comma : comma - start);
        const auto field = FieldNamed(name);
        if (!field && name.empty())
            return Refuse(error, "--columns takes field names joined by commas, such as mac,ip,product, not " +
                                     QuotedArgument(value));
        if (!field)
            return Refuse(error, "--columns: no field " + QuotedArgument(name) + "; the fields are " + FieldNameList());
        if (std::find(into.fields.begin(), into.fields.end(), *field) != into.fields.end())
            return Refuse(error, "--columns names " + QuotedArgument(name) + " twice");
        into.fields.push_back(*field);
        if (comma == std::string_view::npos)
            return true;
        start = comma + 1;
    }
}

bool ParseWide(const OptionUse&, std::string_view, Columns& into, std::string& error)
{
    if (!into.fields.empty())
        return Refuse(error, kColumnsOrWide);
    into.wide = true;
    return true;
}

bool ParseAddress(const OptionUse& use, std::string_view value, std::optional<std::uint32_t>& into, std::string& error)
{
    into = ParseIPv4(value);
    return into || Refuse(error, Named(use) + " must be a dotted IPv4 address such as 192.0.2.10, not " +
                                     QuotedArgument(value));
}

// --dhcp and --static: the mode their name says.
bool ParseMode(const OptionUse& use, std::string_view, SettingsChange& into, std::string& error)
{
    auto& mode = into[static_cast<std::size_t>(Setting::Mode)];
    const std::string wanted(use.name.substr(2));
    if (mode && *mode != wanted)
        return Refuse(error, "--dhcp and --static exclude each other");
    mode = wanted;
    return true;
}

// --web-port and the others: the port setting their name says.
bool ParsePort(const OptionUse& use, std::string_view value, SettingsChange& into, std::string& error)
{
    std::string name(use.name.substr(2));
    std::replace(name.begin(), name.end(), '-', '_');
    const Setting setting = *SettingNamed(name);
    std::string canonical, unused;
    if (!ParseSettingValue(setting, value, canonical, unused))
        return Refuse(error, Named(use) + " must be a whole number from 0 to 65535, not " + QuotedArgument(value));
    into[static_cast<std::size_t>(setting)] = canonical;
    return true;
}

bool ParseTimeout(const OptionUse&, std::string_view value, double& into, std::string& error)
{
    return Seconds(value, into) ||
           Refuse(error, "--timeout must be seconds, more than 0 and at most 3600, such as 5 or 0.5, not " +
                             QuotedArgument(value));
}

bool ParseInterval(const OptionUse&, std::string_view value, double& into, std::string& error)
{
    return (Seconds(value, into) && into >= 1) ||
           Refuse(error, "--interval must be seconds from 1 to 3600, such as 5 or 2.5, not " + QuotedArgument(value));
}

bool ParseAssign(const OptionUse&, std::string_view value, std::optional<std::uint32_t>& into, std::string& error)
{
    into = ParseIPv4(value);
    if (!into)
        return Refuse(error, "--assign needs the first address to give, as dotted IPv4 such as 192.0.2.10, not " +
                                 QuotedArgument(value));
    if (!IsHostAddress(*into))
        return Refuse(error, "--assign " + std::string(value) +
                                 " cannot be a device's address: give one outside 0.0.0.0/8, 127.0.0.0/8 and "
                                 "224.0.0.0 and above");
    return true;
}

bool ParseDate(const OptionUse&, std::string_view value, std::optional<std::int32_t>& into, std::string& error)
{
    long date = 0;
    if (value.size() == 8 && WholeNumber(value, 0, 99999999, date)) {
        const long month = date / 100 % 100;
        const long day = date % 100;
        if (month >= 1 && month <= 12 && day >= 1 && day <= 31) {
            into = static_cast<std::int32_t>(date);
            return true;
        }
    }
    return Refuse(error,
                  "--min-firmware-date must be a date as YYYYMMDD, such as 20220807, not " + QuotedArgument(value));
}

bool ParseFileName(const OptionUse& use, std::string_view value, std::string& into, std::string& error)
{
    into = value;
    return !value.empty() || Refuse(error, Named(use) + " needs a file's name");
}

bool ParseOptionalFileName(const OptionUse& use, std::string_view value, std::optional<std::string>& into,
                           std::string& error)
{
    return ParseFileName(use, value, into.emplace(), error);
}

// One log, and with the words after it, every log a shell pattern gives.
bool ParseAudit(const OptionUse&, std::string_view value, std::vector<std::string>& into, std::string& error)
{
    if (value.empty())
        return Refuse(error, "--audit needs an audit log's name");
    into.emplace_back(value);
    return true;
}

}  // namespace

namespace option {

constexpr Option kAdapter = MakeOption<&Invocation::adapter, ParseAdapter>("--adapter", Takes::Value);
constexpr Option kRounds = MakeOption<&Invocation::rounds, ParseRounds>("--rounds", Takes::Value);
constexpr Option kFormat = MakeOption<&Invocation::format, ParseFormat>("--format", Takes::Value);
constexpr Option kColumns = MakeOption<&Invocation::columns, ParseColumns>("--columns", Takes::Value);
constexpr Option kWide = MakeOption<&Invocation::columns, ParseWide>("--wide", Takes::Nothing);
constexpr Option kLoopback = MakeOption<&Invocation::loopback, ParseFlag>("--loopback", Takes::Nothing);
constexpr Option kIp = MakeOption<&Invocation::ip, ParseAddress>("--ip", Takes::Value);
constexpr Option kMask = MakeOption<&Invocation::mask, ParseAddress>("--mask", Takes::Value);
constexpr Option kGateway = MakeOption<&Invocation::gateway, ParseAddress>("--gateway", Takes::Value);
constexpr Option kDns = MakeOption<&Invocation::dns, ParseAddress>("--dns", Takes::Value);
constexpr Option kDhcp = MakeOption<&Invocation::change, ParseMode>("--dhcp", Takes::Nothing);
constexpr Option kStatic = MakeOption<&Invocation::change, ParseMode>("--static", Takes::Nothing);
constexpr Option kWebPort = MakeOption<&Invocation::change, ParsePort>("--web-port", Takes::Value);
constexpr Option kControlPort = MakeOption<&Invocation::change, ParsePort>("--control-port", Takes::Value);
constexpr Option kVideoPort = MakeOption<&Invocation::change, ParsePort>("--video-port", Takes::Value);
constexpr Option kAudioTransmitPort = MakeOption<&Invocation::change, ParsePort>("--audio-transmit-port", Takes::Value);
constexpr Option kAudioReceivePort = MakeOption<&Invocation::change, ParsePort>("--audio-receive-port", Takes::Value);
constexpr Option kUser = MakeOption<&Invocation::user, ParseOptionalText>("--user", Takes::Value);
constexpr Option kPasswordFile =
    MakeOption<&Invocation::passwordFile, ParseOptionalText>("--password-file", Takes::Value);
constexpr Option kTimeout = MakeOption<&Invocation::timeoutSeconds, ParseTimeout>("--timeout", Takes::Value);
constexpr Option kYes = MakeOption<&Invocation::yes, ParseFlag>("--yes", Takes::Nothing, "-y");
constexpr Option kApply = MakeOption<&Invocation::apply, ParseFlag>("--apply", Takes::Nothing);
constexpr Option kAssign = MakeOption<&Invocation::assignFirst, ParseAssign>("--assign", Takes::Value);
constexpr Option kUnprobedOk = MakeOption<&Invocation::unprobedOk, ParseFlag>("--unprobed-ok", Takes::Nothing);
constexpr Option kProduct = MakeOption<&Invocation::product, ParseText>("--product", Takes::Value);
constexpr Option kMinFirmwareDate =
    MakeOption<&Invocation::minFirmwareDate, ParseDate>("--min-firmware-date", Takes::Value);
constexpr Option kInventory = MakeOption<&Invocation::inventory, ParseOptionalFileName>("--inventory", Takes::Value);
constexpr Option kAudit = MakeOption<&Invocation::audits, ParseAudit>("--audit", Takes::Values);
constexpr Option kSite = MakeOption<&Invocation::site, ParseText>("--site", Takes::Value);
constexpr Option kOutput = MakeOption<&Invocation::output, ParseFileName>("--output", Takes::Value, "-o");
constexpr Option kInterval = MakeOption<&Invocation::intervalSeconds, ParseInterval>("--interval", Takes::Value);
constexpr Option kDefaultIp = MakeOption<&Invocation::defaultIp, ParseAddress>("--default-ip", Takes::Value);

const std::initializer_list<const Option*> kAll = {
    &kAdapter,
    &kRounds,
    &kFormat,
    &kColumns,
    &kWide,
    &kLoopback,
    &kIp,
    &kMask,
    &kGateway,
    &kDns,
    &kDhcp,
    &kStatic,
    &kWebPort,
    &kControlPort,
    &kVideoPort,
    &kAudioTransmitPort,
    &kAudioReceivePort,
    &kUser,
    &kPasswordFile,
    &kTimeout,
    &kYes,
    &kApply,
    &kAssign,
    &kUnprobedOk,
    &kProduct,
    &kMinFirmwareDate,
    &kInventory,
    &kAudit,
    &kSite,
    &kOutput,
    &kInterval,
    &kDefaultIp,
};

}  // namespace option
