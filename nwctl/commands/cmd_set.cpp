// set: one device's settings, by the Save record the window sends, and its
// answer.
#include <cstdio>
#include <optional>
#include <utility>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/labels.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "commands/command_probe.h"
#include "commands/command_search.h"
#include "commands/confirmation.h"
#include "commands/device_lookup.h"
#include "device/change_record.h"
#include "device/setting_changes.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "net/session.h"
#include "rules/plan_rules.h"
#include "rules/unprobed_rules.h"
#include "text_field.h"

namespace {

// The settings the command line names, as the Save record takes them.
SettingsChange RequestedChange(const Invocation& invocation)
{
    SettingsChange change = invocation.change;
    const std::pair<Setting, const std::optional<std::uint32_t>&> addresses[] = {
        {Setting::Ip, invocation.ip},
        {Setting::Mask, invocation.mask},
        {Setting::Gateway, invocation.gateway},
        {Setting::Dns, invocation.dns},
    };
    for (const auto& [setting, address] : addresses) {
        if (address)
            change[static_cast<std::size_t>(setting)] = FormatIPv4(*address);
    }
    return change;
}

}  // namespace

int RunSet(const Invocation& invocation)
{
    std::string user, password, error;
    Session session;
    std::vector<FoundDevice> found;
    if (const int status = SearchToSend(invocation, user, password, session, found))
        return status;
    const FoundDevice* device = nullptr;
    if (!FindOneDevice(found, invocation.macs.front(), device, error))
        return Fail(kExitNotFound, error + ". Nothing was sent");

    const SettingsChange change = RequestedChange(invocation);
    const std::vector<SettingDifference> changes = ChangedSettings(device->record, change);
    if (changes.empty()) {
        std::fprintf(stderr, "%s: no change: it has these settings already. Nothing was sent\n",
                     DeviceLabel(*device).c_str());
        return kExitOk;
    }
    // One device's change is a plan of one row, held to the plan's rules.
    const PlanRow row{0, invocation.macs.front(), change};
    AddressUse use;
    if (const int status = ProbeAddressesInUse(session, PlannedAddresses({row}, found), use))
        return status;
    SayProbeLimit(use);
    const std::vector<std::uint32_t> unprobed = UnprobedAddresses({row}, found, use);
    if (invocation.unprobedOk)
        SayTakenAsFree(unprobed);
    const std::vector<PlanProblem> problems =
        FindPlanProblems({row}, found, session.OwnAdapters(), use, invocation.unprobedOk);
    if (!problems.empty()) {
        for (const PlanProblem& problem : problems)
            std::fprintf(stderr, "nwctl: problem: %s\n", problem.text.c_str());
        return Fail(kExitPlanRefused, "refused while problems stand. Nothing was sent" +
                                          UnprobedAdvice(invocation.unprobedOk ? 0 : unprobed.size()));
    }

    const DISCOVERY_DATA record = BuildChangeRecord(device->record, change, user, password);
    std::fprintf(stderr, "%s: %s\n", DeviceLabel(*device).c_str(), DescribeChanges(changes).c_str());
    const Confirmation answer = Confirm("send these settings?", invocation.yes);
    if (answer != Confirmation::Yes)
        return NotConfirmed(answer);

    if (!session.Send(*device, record, error))
        return Fail(kExitNetwork, error);
    const std::string mac = ReadTextField(device->record.macAddress);
    const auto result = session.AwaitApply(mac, invocation.timeoutSeconds, error);
    if (!result) {
        if (!error.empty())
            return Fail(kExitNetwork, error);
        return Fail(kExitNoAnswer,
                    SafeText(mac) + ": no answer within " + SecondsText(invocation.timeoutSeconds) + " seconds");
    }
    if (const char* text = ApplyResultText(*result)) {
        std::printf("%s: %s\n", SafeText(mac).c_str(), text);
        return *result == DISCOVERY_RESULT_OK ? kExitOk : kExitResultBase + static_cast<int>(*result);
    }
    std::printf("%s: result %u, which has no text\n", SafeText(mac).c_str(), static_cast<unsigned>(*result));
    return kExitResultBase + 6;
}

namespace {

bool CheckSetArguments(const Invocation& invocation, std::string& error)
{
    if (AnySettingGiven(invocation))
        return true;
    error = "set needs at least one setting to change, such as --ip or --web-port";
    return false;
}

const char kSetHelp[] = R"(usage: nwctl set MAC [--ip A] [--mask M] [--gateway G] [--dns D]
                 [--dhcp|--static] [--web-port P] [--control-port P]
                 [--video-port P] [--audio-transmit-port P]
                 [--audio-receive-port P] --user U [--password-file FILE]
                 [--timeout S] [-y|--yes] [--unprobed-ok]
                 [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the device by a fresh search, sends it the Save record that the
window program sends (settings not named keep the device's values), waits
up to --timeout seconds (default 5) for its answer and prints the answer's
text. MAC: 00:1A:2B:3C:4D:5E, 00-1A-2B-3C-4D-5E, 001A.2B3C.4D5E or
001A2B3C4D5E, either case.

A set is a plan of one device: before anything is sent it is held to the
plan's rules (nwctl plan --help), another host answering for the address
the device would have among them, and refused with every problem named.
An address it moves onto that could not be probed is one of them: another
host may hold it (the address it keeps puts nobody new on it).
--unprobed-ok takes it as free, and standard error says so.
A device whose mode is neither static nor dhcp needs --static or --dhcp.
With nothing to change, nothing is sent.

exit status: 0 Apply, or nothing to change; 6 problems found (an address
not probed among them, without --unprobed-ok), nothing sent; 11 Failed; 12 Failed. Invalid address; 13 Failed.
Invalid port; 14 Failed. Invalid config; 15 Failed. login failed; 16 a
result without a text; 4 no answer in time; 3 the device did not answer the
search (or answered from two addresses); 5 not confirmed; 2 bad arguments;
1 network, the addresses could not be probed, or the output could not be
written.
)";

}  // namespace

extern const CommandEntry kSetCommand = {
    "set",
    RunSet,
    "set MAC     change one device's address settings and ports",
    kSetHelp,
    Operands::OneMac,
    "the device's MAC address",
    {option::kSearching,
     option::kSending,
     {&option::kIp, &option::kMask, &option::kGateway, &option::kDns, &option::kDhcp, &option::kStatic,
      &option::kWebPort, &option::kControlPort, &option::kVideoPort, &option::kAudioTransmitPort,
      &option::kAudioReceivePort, &option::kTimeout, &option::kUnprobedOk}},
    {},
    CheckSetArguments};
