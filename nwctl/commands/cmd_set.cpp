// set: one device's settings, by the Save record the window sends, and its
// answer.
#include <cstdio>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/labels.h"
#include "cli/messages.h"
#include "commands/command_probe.h"
#include "commands/command_search.h"
#include "commands/confirmation.h"
#include "commands/device_lookup.h"
#include "device/change_record.h"
#include "device/setting_changes.h"
#include "io/safe_text.h"
#include "net/session.h"
#include "rules/plan_rules.h"
#include "rules/unprobed_rules.h"
#include "text_field.h"

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

    const std::vector<SettingDifference> changes = ChangedSettings(device->record, invocation.change);
    if (changes.empty()) {
        std::fprintf(stderr, "%s: no change: it has these settings already. Nothing was sent\n",
                     DeviceLabel(*device).c_str());
        return kExitOk;
    }
    // One device's change is a plan of one row, held to the plan's rules.
    const PlanRow row{0, invocation.macs.front(), invocation.change};
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

    const DISCOVERY_DATA record = BuildChangeRecord(device->record, invocation.change, user, password);
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
