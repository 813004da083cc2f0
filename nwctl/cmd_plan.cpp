// plan: bulk addressing, checked before anything is sent and verified after.
#include <cstdio>
#include <ctime>
#include <set>

#include "args.h"
#include "assign_rule.h"
#include "audit_log.h"
#include "change_record.h"
#include "command_probe.h"
#include "command_search.h"
#include "confirmation.h"
#include "counted.h"
#include "exit_codes.h"
#include "file_reading.h"
#include "ipv4_text.h"
#include "labels.h"
#include "mac.h"
#include "messages.h"
#include "plan_rules.h"
#include "progress.h"
#include "prompt.h"
#include "safe_text.h"
#include "session.h"
#include "setting_changes.h"
#include "text_field.h"

namespace {

std::optional<std::uint32_t> AddressOption(const Invocation& invocation, Setting setting)
{
    const auto& value = invocation.change[static_cast<std::size_t>(setting)];
    return value ? ParseIPv4(*value) : std::nullopt;
}

// Assigning needs to know which addresses are in use, and the probe which
// addresses to ask about: assign, probe the addresses given that are not
// known yet, and assign again, until every address given is known. A round
// gives new addresses only past one found in use, so a LAN with a few other
// hosts settles in two or three; the bound keeps a crowded range from
// probing on, and a range probed whole up front would cost a probe of every
// address of the subnet.
constexpr int kAssignProbeRounds = 8;

// Writes a plan only when its own dry run would pass: a plan that cannot be
// applied is no help at the site.
int Assign(const Invocation& invocation)
{
    Session session;
    std::vector<FoundDevice> found;
    if (const int status = OpenAndSearch(invocation, session, found))
        return status;
    if (found.empty())
        return NoDeviceAnswered(session);
    const AssignRequest request{*invocation.assignFirst, AddressOption(invocation, Setting::Mask),
                                AddressOption(invocation, Setting::Gateway), AddressOption(invocation, Setting::Dns),
                                invocation.product};
    AddressUse use;
    Assignment assignment;
    std::string error;
    AssignOutcome outcome = AssignOutcome::Assigned;
    for (int round = 0;; ++round) {
        outcome = AssignAddresses(found, request, session.OwnAdapters(), use, assignment, error);
        std::vector<std::uint32_t> unknown;
        if (outcome == AssignOutcome::Assigned) {
            for (const std::uint32_t address : PlannedAddresses(assignment.rows, found)) {
                if (!use.Knows(address))
                    unknown.push_back(address);
            }
        }
        if (unknown.empty())
            break;
        if (round == kAssignProbeRounds) {
            SayProbeLimit(use);
            return Fail(kExitPlanRefused, "the addresses from " + FormatIPv4(request.first) + " kept turning out in " +
                                              "use by other hosts through " + std::to_string(kAssignProbeRounds) +
                                              " probes: start from another address. Nothing was written");
        }
        if (const int status = ProbeAddressesInUse(session, unknown, use))
            return status;
    }
    SayProbeLimit(use);
    for (const std::string& skipped : assignment.skipped)
        Fail(kExitOk, skipped);
    switch (outcome) {
        case AssignOutcome::Assigned:
            break;
        case AssignOutcome::BadRequest:
            return Fail(kExitUsage, error + ". Nothing was written");
        case AssignOutcome::NoDevice:
            return Fail(kExitNoDevices, error + ". Nothing was written");
        case AssignOutcome::OutOfAddresses:
            return Fail(kExitPlanRefused, error + ". Nothing was written");
    }
    const std::vector<PlanProblem> problems = FindPlanProblems(assignment.rows, found, session.OwnAdapters(), use);
    for (const PlanProblem& problem : problems)
        Fail(kExitPlanRefused, "problem: line " + std::to_string(problem.line) + ": " + problem.text);
    if (!problems.empty())
        return Fail(kExitPlanRefused,
                    "the plan would have " + Counted(problems.size(), "problem") + ", so none was written");
    for (const std::string& note : assignment.notes)
        Fail(kExitOk, "note: " + note);
    std::fputs(AssignmentCsv(assignment.rows).c_str(), stdout);
    return kExitOk;
}

// A plan row with the device it names, once the problems are known to be
// none.
struct Step {
    const PlanRow* row;
    const FoundDevice* device;
};

// One device's Save and its answer, each written to the log as it happens.
bool ApplyStep(const Invocation& invocation, Session& session, const Step& step, const std::string& user,
               const std::string& password, AuditLog& audit)
{
    const DISCOVERY_DATA& before = step.device->record;
    const std::string mac = SafeText(ReadTextField(before.macAddress));
    if (ChangedSettings(before, step.row->change).empty()) {
        audit.Write(AuditUnchanged(std::time(nullptr), before));
        return true;
    }
    const DISCOVERY_DATA sent = BuildChangeRecord(before, step.row->change, user, password);
    std::string error;
    if (!session.Send(*step.device, sent, error)) {
        audit.Write(AuditNotSent(std::time(nullptr), before, sent, error));
        Say(mac + ": not sent: " + SafeText(error));
        return false;
    }
    audit.Write(AuditSent(std::time(nullptr), before, sent));
    const auto result = session.AwaitApply(ReadTextField(before.macAddress), invocation.timeoutSeconds, error);
    audit.Write(AuditAnswer(std::time(nullptr), before, result));
    const char* text = result ? ApplyResultText(*result) : nullptr;
    Say(mac + ": " + (text ? text : result ? "result without a text" : "no answer"));
    return result == DISCOVERY_RESULT_OK;
}

// `limitSaid`: what the probe before the Saves said it could not do.
int Apply(const Invocation& invocation, Session& session, const std::vector<Step>& steps, const std::string& user,
          const std::string& password, const std::string& limitSaid)
{
    const std::string auditPath = AuditPath(invocation.file, std::time(nullptr), [](const std::string& path) {
        std::FILE* existing = std::fopen(path.c_str(), "rb");
        if (existing)
            std::fclose(existing);
        return existing != nullptr;
    });
    AuditLog audit;
    if (!audit.Open(auditPath))
        return Fail(kExitUsage, "cannot write the audit log " + SafeText(auditPath) + ". Nothing was sent");

    std::vector<bool> applied(steps.size());
    std::size_t attempted = 0;
    {
        Progress progress("applying", steps.size());
        for (; attempted < steps.size() && audit.Complete(); ++attempted) {
            progress.Show(attempted);
            applied[attempted] = ApplyStep(invocation, session, steps[attempted], user, password, audit);
        }
        progress.Show(attempted);
    }
    if (attempted < steps.size())
        Fail(kExitPlanFailed, "the audit log " + SafeText(auditPath) + " cannot be written: stopped before " +
                                  DeviceLabel(*steps[attempted].device) + "; " +
                                  std::to_string(steps.size() - attempted) + " devices were not sent their Save");

    std::vector<FoundDevice> after;
    std::string error;
    if (!session.Search(invocation.rounds, ErrorIsTerminal(), after, error))
        Fail(kExitNetwork, error + "; the devices could not be verified");
    const DevicesByMac now(after);
    // The address each device shows now, where it answered once.
    std::vector<std::optional<std::uint32_t>> shown(attempted);
    for (std::size_t i = 0; i < attempted; ++i) {
        const std::vector<const FoundDevice*>& answers = now.With(steps[i].row->mac);
        if (answers.size() == 1)
            shown[i] = ParseIPv4(ReadTextField(answers.front()->record.ipAddress));
    }
    std::vector<std::uint32_t> addresses;
    for (const auto& address : shown) {
        if (address)
            addresses.push_back(*address);
    }
    // A probe that cannot run is said, and the devices are judged without it.
    AddressUse use;
    ProbeAddressesInUse(session, addresses, use);
    SayProbeLimit(use, limitSaid);

    std::size_t good = 0;
    for (std::size_t i = 0; i < attempted; ++i) {
        const MacAddress& mac = steps[i].row->mac;
        const std::vector<const FoundDevice*>& answers = now.With(mac);
        const bool answered = answers.size() == 1;
        const auto left = answered ? ChangedSettings(answers.front()->record, steps[i].row->change)
                                   : std::vector<SettingDifference>{};
        // The other MACs that answer for its address; none when not probed.
        std::optional<std::vector<MacAddress>> inUseBy;
        if (const std::vector<MacAddress>* answering = shown[i] ? use.Answers(*shown[i]) : nullptr) {
            inUseBy.emplace();
            for (const MacAddress& other : *answering) {
                if (other != mac)
                    inUseBy->push_back(other);
            }
        }
        const bool taken = inUseBy && !inUseBy->empty();
        const bool verified = answered && left.empty() && !taken;
        good += verified && applied[i];
        const std::string outcome =
            verified        ? "verified"
            : !answered     ? "NOT verified: it did not answer the search once"
            : !left.empty() ? "NOT verified: it shows " + DescribeChanges(left)
                            : "NOT verified: " + FormatIPv4(*shown[i]) + " is in use by " + MacList(*inUseBy) + " too";
        std::printf("%s: %s\n", FormatMac(mac).c_str(), outcome.c_str());
        audit.Write(AuditVerified(std::time(nullptr), steps[i].device->record, verified, inUseBy));
    }
    std::fflush(stdout);
    if (!audit.Complete())
        Fail(kExitPlanFailed, "the audit log " + SafeText(auditPath) + " could not be written completely");
    std::fprintf(stderr, "nwctl: %zu of %s applied and verified; audit log %s\n", good,
                 Counted(steps.size(), "device").c_str(), SafeText(auditPath).c_str());
    return good == steps.size() && audit.Complete() ? kExitOk : kExitPlanFailed;
}

}  // namespace

int RunPlan(const Invocation& invocation)
{
    if (invocation.assignFirst)
        return Assign(invocation);

    std::vector<PlanRow> rows;
    if (const int status = ReadRowsFile(invocation.file, ReadPlan, rows))
        return status;
    if (rows.empty())
        return Fail(kExitNoDevices, SafeText(invocation.file) +
                                        " names no device: it has a header line and nothing more. Nothing to do");
    std::string user, password;
    Session session;
    std::vector<FoundDevice> found;
    const int status = invocation.apply ? SearchToSend(invocation, user, password, session, found)
                                        : OpenAndSearch(invocation, session, found);
    if (status != kExitOk)
        return status;

    AddressUse use;
    if (const int status = ProbeAddressesInUse(session, PlannedAddresses(rows, found), use))
        return status;
    SayProbeLimit(use);
    const std::vector<PlanProblem> problems = FindPlanProblems(rows, found, session.OwnAdapters(), use);
    const DevicesByMac byMac(found);
    std::vector<Step> steps;
    std::size_t changing = 0;
    std::set<MacAddress> seen;
    for (const PlanRow& row : rows) {
        const std::vector<const FoundDevice*>& devices = byMac.With(row.mac);
        if (devices.size() != 1 || !seen.insert(row.mac).second)
            continue;
        steps.push_back({&row, devices.front()});
        const auto changes = ChangedSettings(devices.front()->record, row.change);
        changing += !changes.empty();
        std::printf("line %d: %s: %s\n", row.line, DeviceLabel(*devices.front()).c_str(),
                    DescribeChanges(changes).c_str());
    }
    for (const PlanProblem& problem : problems)
        std::printf("problem: line %d: %s\n", problem.line, problem.text.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "nwctl: %zu planned, %zu found, %zu to change, %s\n", rows.size(), steps.size(), changing,
                 Counted(problems.size(), "problem").c_str());

    if (!problems.empty())
        return Fail(kExitPlanRefused,
                    invocation.apply ? "refused while problems stand. Nothing was sent" : "the plan has problems");
    if (!invocation.apply)
        return kExitOk;
    const Confirmation answer = Confirm("apply the plan to " + Counted(changing, "device") + "?", invocation.yes);
    if (answer != Confirmation::Yes)
        return NotConfirmed(answer);
    return Apply(invocation, session, steps, user, password, use.limit);
}
