// Every option of nwctl, one row each (options.cpp); a command's entry
// names the rows it takes. --help and --version are the parser's own.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "cli/option.h"
#include "device/device_output.h"

namespace option {

extern const Option kAdapter;
extern const Option kRounds;
extern const Option kFormat;
extern const Option kColumns;
extern const Option kWide;
extern const Option kLoopback;
extern const Option kIp;
extern const Option kMask;
extern const Option kGateway;
extern const Option kDns;
extern const Option kDhcp;
extern const Option kStatic;
extern const Option kWebPort;
extern const Option kControlPort;
extern const Option kVideoPort;
extern const Option kAudioTransmitPort;
extern const Option kAudioReceivePort;
extern const Option kUser;
extern const Option kPasswordFile;
extern const Option kTimeout;
extern const Option kYes;
extern const Option kApply;
extern const Option kAssign;
extern const Option kUnprobedOk;
extern const Option kProduct;
extern const Option kMinFirmwareDate;
extern const Option kInventory;
extern const Option kAudit;
extern const Option kSite;
extern const Option kOutput;
extern const Option kInterval;
extern const Option kDefaultIp;

// The rows of every option, for the parser to find a name among.
extern const std::initializer_list<const Option*> kAll;

// Groups that several commands take.
inline constexpr std::initializer_list<const Option*> kSearching = {&kAdapter, &kRounds};
inline constexpr std::initializer_list<const Option*> kSending = {&kUser, &kPasswordFile, &kYes};

}  // namespace option

// The texts the parser's messages share: a word of the command line in
// quotes, made safe to show; a format's name; "a, b or c", the texts of
// `items` as a sentence lists them.
std::string QuotedArgument(std::string_view text);
const char* FormatName(OutputFormat format);
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
