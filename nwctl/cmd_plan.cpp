// plan: bulk addressing, checked before anything is sent and verified after.
#include <cstdio>
#include <ctime>
#include <map>

#include "assign_rule.h"
#include "audit_log.h"
#include "command_support.h"
#include "commands.h"
#include "exit_codes.h"
#include "ipv4.h"
#include "plan_rules.h"
#include "prompt.h"
#include "safe_text.h"
#include "session.h"
#include "text_field.h"

namespace {

std::optional<std::uint32_t> AddressOption(const Invocation& invocation, Setting setting)
{
    const auto& value = invocation.change[static_cast<std::size_t>(setting)];
    return value ? ParseIPv4(*value) : std::nullopt;
}

int Assign(const Invocation& invocation)
{
    Session session;
    std::vector<FoundDevice> found;
    if (const int status = OpenAndSearch(invocation, session, found))
        return status;
    std::string plan, error;
    const AssignRequest request{*invocation.assignFirst, AddressOption(invocation, Setting::Mask),
                                AddressOption(invocation, Setting::Gateway), AddressOption(invocation, Setting::Dns),
                                invocation.product};
    if (!AssignAddresses(found, request, plan, error))
        return Fail(kExitPlanRefused, error);
    std::fputs(plan.c_str(), stdout);
    return kExitOk;
}

// A plan row with the device it names, once the problems are known to be
// none.
struct Step {
    const PlanRow* row;
    const FoundDevice* device;
};

int Apply(const Invocation& invocation, Session& session, const std::vector<Step>& steps, const std::string& user,
          const std::string& password)
{
    const std::time_t started = std::time(nullptr);
    const std::string auditPath = AuditPath(invocation.file, started, [](const std::string& path) {
        std::FILE* existing = std::fopen(path.c_str(), "rb");
        if (existing)
            std::fclose(existing);
        return existing != nullptr;
    });
    std::FILE* audit = std::fopen(auditPath.c_str(), "wb");
    if (!audit)
        return Fail(kExitUsage, "cannot write the audit log " + SafeText(auditPath) + ". Nothing was sent");

    std::vector<AuditEntry> entries;
    std::string error;
    for (const Step& step : steps) {
        AuditEntry entry{std::time(nullptr), step.device->record, std::nullopt, std::nullopt, false, false};
        const std::string mac = ReadTextField(step.device->record.macAddress);
        if (!ChangedSettings(step.device->record, step.row->change).empty()) {
            entry.sent = BuildChangeRecord(step.device->record, step.row->change, user, password);
            entry.notSent = !session.Send(*step.device, *entry.sent, error);
            if (!entry.notSent)
                entry.result = session.AwaitApply(mac, invocation.timeoutSeconds, error);
            const char* text = entry.result ? ApplyResultText(*entry.result) : nullptr;
            const std::string outcome = entry.notSent  ? "not sent: " + SafeText(error)
                                        : text         ? text
                                        : entry.result ? "result without a text"
                                                       : "no answer";
            std::printf("%s: %s\n", SafeText(mac).c_str(), outcome.c_str());
            std::fflush(stdout);
        }
        entries.push_back(entry);
    }

    std::vector<FoundDevice> after;
    const bool searched = session.Search(invocation.rounds, ErrorIsTerminal(), after, error);
    if (!searched)
        Fail(kExitNetwork, error + "; the devices could not be verified");
    std::size_t good = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::vector<const FoundDevice*> now = DevicesWithMac(after, steps[i].row->mac);
        const bool answered = now.size() == 1;
        const auto left =
            answered ? ChangedSettings(now.front()->record, steps[i].row->change) : std::vector<SettingDifference>{};
        entries[i].verified = answered && left.empty();
        const bool applied = !entries[i].sent || entries[i].result == DISCOVERY_RESULT_OK;
        good += entries[i].verified && applied;
        std::printf("%s: %s\n", FormatMac(steps[i].row->mac).c_str(),
                    entries[i].verified ? "verified"
                    : !answered         ? "NOT verified: it did not answer the search once"
                                        : ("NOT verified: it shows " + DescribeChanges(left)).c_str());
        std::fprintf(audit, "%s\n", AuditLine(entries[i]).c_str());
    }
    std::fclose(audit);
    std::fflush(stdout);
    std::fprintf(stderr, "nwctl: %zu of %zu devices applied and verified; audit log %s\n", good, steps.size(),
                 SafeText(auditPath).c_str());
    return good == steps.size() ? kExitOk : kExitPlanFailed;
}

}  // namespace

int RunPlan(const Invocation& invocation)
{
    if (invocation.assignFirst)
        return Assign(invocation);

    std::vector<PlanRow> rows;
    if (const int status = ReadRowsFile(invocation.file, ReadPlan, rows))
        return status;
    std::string user, password;
    Session session;
    std::vector<FoundDevice> found;
    const int status = invocation.apply ? SearchToSend(invocation, user, password, session, found)
                                        : OpenAndSearch(invocation, session, found);
    if (status != kExitOk)
        return status;

    const std::vector<PlanProblem> problems = FindPlanProblems(rows, found);
    std::vector<Step> steps;
    std::size_t changing = 0;
    std::map<MacAddress, bool> seen;
    for (const PlanRow& row : rows) {
        const std::vector<const FoundDevice*> devices = DevicesWithMac(found, row.mac);
        if (devices.size() != 1 || seen[row.mac])
            continue;
        seen[row.mac] = true;
        steps.push_back({&row, devices.front()});
        const auto changes = ChangedSettings(devices.front()->record, row.change);
        changing += !changes.empty();
        std::printf("line %d: %s: %s\n", row.line, DeviceLabel(*devices.front()).c_str(),
                    DescribeChanges(changes).c_str());
    }
    for (const PlanProblem& problem : problems)
        std::printf("problem: line %d: %s\n", problem.line, problem.text.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "nwctl: %zu planned, %zu found, %zu to change, %zu problems\n", rows.size(), steps.size(),
                 changing, problems.size());

    if (!problems.empty())
        return Fail(kExitPlanRefused,
                    invocation.apply ? "refused while problems stand. Nothing was sent" : "the plan has problems");
    if (!invocation.apply)
        return kExitOk;
    const Confirmation answer = Confirm("apply the plan to " + std::to_string(changing) + " devices?", invocation.yes);
    if (answer != Confirmation::Yes)
        return NotConfirmed(answer);
    return Apply(invocation, session, steps, user, password);
}
