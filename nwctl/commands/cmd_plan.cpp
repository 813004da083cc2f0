// plan: bulk addressing, checked before anything is sent and verified after.
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <set>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/labels.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "cli/stop_request.h"
#include "commands/command_probe.h"
#include "commands/command_search.h"
#include "commands/confirmation.h"
#include "commands/file_reading.h"
#include "device/change_record.h"
#include "device/mac.h"
#include "device/setting_changes.h"
#include "io/counted.h"
#include "io/prompt.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "net/session.h"
#include "rules/apply_order.h"
#include "rules/assign_rule.h"
#include "rules/audit_log.h"
#include "rules/plan_rules.h"
#include "rules/unprobed_rules.h"
#include "rules/verification_rules.h"
#include "text_field.h"

namespace {

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
    const AssignRequest request{*invocation.assignFirst, invocation.mask, invocation.gateway, invocation.dns,
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
    const std::vector<std::uint32_t> unprobed = UnprobedAddresses(assignment.rows, found, use);
    if (invocation.unprobedOk)
        SayTakenAsFree(unprobed);
    const std::vector<PlanProblem> problems =
        FindPlanProblems(assignment.rows, found, session.OwnAdapters(), use, invocation.unprobedOk);
    for (const PlanProblem& problem : problems)
        Fail(kExitPlanRefused, "problem: line " + std::to_string(problem.line) + ": " + problem.text);
    if (!problems.empty())
        return Fail(kExitPlanRefused, "the plan would have " + Counted(problems.size(), "problem") +
                                          ", so none was written" +
                                          UnprobedAdvice(invocation.unprobedOk ? 0 : unprobed.size()));
    for (const std::string& note : assignment.notes)
        Fail(kExitOk, "note: " + note);
    WriteOutput(AssignmentCsv(assignment.rows));
    return kExitOk;
}

// What one step of the order came to, for the steps that wait for it.
struct StepResult {
    bool sent;         // the Save left, or the device needed none
    bool succeeded;    // and the device took it: "Apply", or nothing to change
    std::string said;  // the answer's text, "no answer", "not sent"
};

// One device's Save and its answer, each written to the log as it happens.
// `temporary`: the Save only takes the device there, for now.
StepResult ApplyStep(const Invocation& invocation, Session& session, const FoundDevice& device,
                     const SettingsChange& change, std::optional<std::uint32_t> temporary, const std::string& user,
                     const std::string& password, AuditLog& audit)
{
    const DISCOVERY_DATA& before = device.record;
    const std::string mac = SafeText(ReadTextField(before.macAddress));
    const std::string prefix = mac + ": " + (temporary ? "on " + FormatIPv4(*temporary) + " for now: " : "");
    if (ChangedSettings(before, change).empty()) {
        audit.Write(AuditUnchanged(std::time(nullptr), before));
        return {true, true, "nothing to change"};
    }
    const DISCOVERY_DATA sent = BuildChangeRecord(before, change, user, password);
    std::string error;
    if (!session.Send(device, sent, error)) {
        audit.Write(AuditNotSent(std::time(nullptr), before, sent, error));
        Say(prefix + "not sent: " + SafeText(error));
        return {false, false, "not sent"};
    }
    audit.Write(AuditSent(std::time(nullptr), before, sent));
    const auto result = session.AwaitApply(ReadTextField(before.macAddress), invocation.timeoutSeconds, error);
    audit.Write(AuditAnswer(std::time(nullptr), before, result));
    const char* text = result ? ApplyResultText(*result) : nullptr;
    const std::string said = text ? text : result ? "result without a text" : "no answer";
    Say(prefix + said);
    return {true, result == DISCOVERY_RESULT_OK, said};
}

// A Save held back: the device it waits for has not left the address it
// moves onto.
StepResult HoldBack(const FoundDevice& device, const SettingsChange& change, const PlannedDevice& holder,
                    const SaveWait& wait, const StepResult& holderResult, const std::string& user,
                    const std::string& password, AuditLog& audit)
{
    const std::string reason = FormatMac(holder.row->mac) + " has not left " + FormatIPv4(wait.address) +
                               " (its Save: " + holderResult.said + ")";
    audit.Write(AuditHeldBack(std::time(nullptr), device.record,
                              BuildChangeRecord(device.record, change, user, password), reason,
                              ReadTextField(holder.device->record.macAddress)));
    Say(SafeText(ReadTextField(device.record.macAddress)) + ": not sent: " + reason);
    return {false, false, "not sent"};
}

// How far the Saves went.
struct SavesRun {
    std::vector<StepResult> results;  // by step, for the steps taken
    std::vector<bool> reached;        // by device: its planned Save's turn came
    std::vector<bool> heldBack;       // by device: its planned Save was held back
    // By device, where it is when the Saves end (its temporary address,
    // after a Save that took it there).
    std::vector<FoundDevice> now;
    bool interrupted = false;  // by Ctrl-C or SIGTERM
};

// The order's Saves, one at a time, until they are all sent, the audit log
// cannot be written or a stop is requested.
SavesRun SendSaves(const Invocation& invocation, Session& session, const std::vector<PlannedDevice>& devices,
                   const SaveOrder& order, const std::string& user, const std::string& password, AuditLog& audit)
{
    SavesRun run;
    run.reached.resize(devices.size());
    run.heldBack.resize(devices.size());
    for (const PlannedDevice& device : devices)
        run.now.push_back(*device.device);
    std::vector<bool> succeeded;
    Progress progress("applying", order.steps.size());
    for (const SaveStep& step : order.steps) {
        progress.Show(run.results.size());
        if (!audit.Complete())
            break;
        if (StopRequested()) {
            run.interrupted = true;
            break;
        }
        FoundDevice& device = run.now[step.device];
        const SettingsChange change =
            step.temporary ? TemporaryChange(*step.temporary) : devices[step.device].row->change;
        StepResult result;
        if (const SaveWait* wait = UnmetWait(step, succeeded)) {
            const SaveStep& held = order.steps[wait->step];
            result =
                HoldBack(device, change, devices[held.device], *wait, run.results[wait->step], user, password, audit);
            run.heldBack[step.device] = !step.temporary;
        } else {
            result = ApplyStep(invocation, session, device, change, step.temporary, user, password, audit);
            if (step.temporary && result.succeeded)
                WriteTextField(device.record.ipAddress, FormatIPv4(*step.temporary));
        }
        run.reached[step.device] = run.reached[step.device] || !step.temporary;
        succeeded.push_back(result.succeeded);
        run.results.push_back(std::move(result));
    }
    progress.Show(run.results.size());
    // A stop that came while the last answer was awaited ends the run
    // before the verification.
    run.interrupted = run.interrupted || StopRequested();
    return run;
}

// The planned devices whose planned Save was not sent: held back, failed
// to leave, or never reached.
std::vector<MacAddress> NotSent(const std::vector<PlannedDevice>& devices, const SaveOrder& order, const SavesRun& run)
{
    std::vector<bool> sent(devices.size());
    for (std::size_t s = 0; s < run.results.size(); ++s) {
        if (!order.steps[s].temporary)
            sent[order.steps[s].device] = run.results[s].sent;
    }
    std::vector<MacAddress> macs;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (!sent[i])
            macs.push_back(devices[i].row->mac);
    }
    return macs;
}

// The most MACs a message on standard error names; the audit log names
// them all.
constexpr std::size_t kMacsSaid = 3;

int Interrupted(const std::vector<PlannedDevice>& devices, const SaveOrder& order, const SavesRun& run,
                const std::string& auditPath, AuditLog& audit)
{
    const std::vector<MacAddress> notSent = NotSent(devices, order, run);
    const std::size_t done = devices.size() - notSent.size();
    audit.Write(AuditInterrupted(std::time(nullptr), done, devices.size(), notSent));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const std::string shown = ReadTextField(run.now[i].record.ipAddress);
        if (!run.reached[i] && shown != ReadTextField(devices[i].device->record.ipAddress))
            Fail(kExitInterrupted,
                 FormatMac(devices[i].row->mac) + " is left on its temporary address " + SafeText(shown));
    }
    if (!audit.Complete())
        Fail(kExitInterrupted, "the audit log " + PathText(auditPath) + " could not be written completely");
    return Fail(
        kExitInterrupted,
        "interrupted after " + std::to_string(done) + " of " + std::to_string(devices.size()) +
            (notSent.empty() ? ", before the verification" : "; not sent: " + ShortMacList(notSent, kMacsSaid)) +
            "; audit log " + PathText(auditPath));
}

// The MACs at each address, as a search heard them.
std::map<std::uint32_t, std::set<MacAddress>> MacsByAddress(const std::vector<FoundDevice>& found)
{
    std::map<std::uint32_t, std::set<MacAddress>> macs;
    for (const FoundDevice& device : found) {
        const auto mac = ParseMac(ReadTextField(device.record.macAddress));
        const auto ip = ParseIPv4(ReadTextField(device.record.ipAddress));
        if (mac && ip)
            macs[*ip].insert(*mac);
    }
    return macs;
}

// What the verification found: the devices verified whose Save went
// through, and how many of those at an address the probe could not reach.
struct Verification {
    std::size_t good = 0;
    std::size_t notProbed = 0;
};

// The search after the Saves, and the probe of the addresses the devices
// show: each device reached answers once, with its planned values, alone on
// its address as both heard it.
Verification Verify(const Invocation& invocation, Session& session, const std::vector<PlannedDevice>& devices,
                    const SavesRun& run, const std::vector<bool>& applied, const std::string& limitSaid,
                    AuditLog& audit)
{
    std::vector<FoundDevice> after;
    std::string error;
    if (!session.Search(invocation.rounds, ErrorIsTerminal(), after, error))
        Fail(kExitNetwork, error + "; the devices could not be verified");
    const DevicesByMac now(after);
    const auto heard = MacsByAddress(after);
    // The address each device shows now, where it answered once.
    std::vector<std::optional<std::uint32_t>> shown(devices.size());
    std::vector<std::uint32_t> addresses;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const std::vector<const FoundDevice*>& answers = now.With(devices[i].row->mac);
        if (run.reached[i] && answers.size() == 1)
            shown[i] = ParseIPv4(ReadTextField(answers.front()->record.ipAddress));
        if (shown[i])
            addresses.push_back(*shown[i]);
    }
    // A probe that cannot run is said, and the devices are judged without it.
    AddressUse use;
    ProbeAddressesInUse(session, addresses, use);
    SayProbeLimit(use, limitSaid);

    Verification verification;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (!run.reached[i])
            continue;
        const MacAddress& mac = devices[i].row->mac;
        const std::vector<const FoundDevice*>& answers = now.With(mac);
        DeviceAfter device;
        device.answered = answers.size() == 1;
        if (device.answered)
            device.left = ChangedSettings(answers.front()->record, devices[i].row->change);
        device.shown = shown[i];
        if (shown[i]) {
            const std::vector<MacAddress>* probed = use.Answers(*shown[i]);
            const auto searched = heard.find(*shown[i]);
            device.probed = probed != nullptr;
            device.inUseBy = OthersOnAddress(mac, probed, searched != heard.end() ? &searched->second : nullptr);
        }
        const bool verified = Verified(device);
        verification.good += verified && applied[i];
        verification.notProbed += verified && applied[i] && !device.probed;
        std::printf("%s: %s\n", FormatMac(mac).c_str(), VerificationText(device).c_str());
        audit.Write(
            AuditVerified(std::time(nullptr), devices[i].device->record, verified, device.probed, device.inUseBy));
    }
    FlushOutput();
    return verification;
}

// Written to standard error when Ctrl-C or SIGTERM first comes in.
const std::string& StopNotice()
{
    static const std::string notice = std::string(ErrorIsTerminal() ? "\n" : "") +
                                      "nwctl: stopping after the answer in flight; Ctrl-C again ends nwctl at once\n";
    return notice;
}

// `limitSaid`: what the probe before the Saves said it could not do.
int Apply(const Invocation& invocation, Session& session, const std::vector<PlannedDevice>& devices,
          const SaveOrder& order, const std::string& user, const std::string& password, const std::string& limitSaid)
{
    const std::string auditPath = AuditPath(invocation.file, std::time(nullptr), [](const std::string& path) {
        std::FILE* existing = std::fopen(path.c_str(), "rb");
        if (existing)
            std::fclose(existing);
        return existing != nullptr;
    });
    AuditLog audit;
    std::string reason;
    if (!audit.Open(auditPath, reason))
        return Fail(kExitPlanFailed,
                    "cannot write the audit log " + PathText(auditPath) + ": " + reason + ". Nothing was sent");
    std::string error;
    if (!CatchStopRequests(error, StopNotice().c_str()))
        Fail(kExitOk, error + ": Ctrl-C will end the run at once");

    const SavesRun run = SendSaves(invocation, session, devices, order, user, password, audit);
    if (run.interrupted)
        return Interrupted(devices, order, run, auditPath, audit);
    if (run.results.size() < order.steps.size()) {
        const std::size_t notSent = NotSent(devices, order, run).size();
        Fail(kExitPlanFailed, "the audit log " + PathText(auditPath) + " cannot be written: stopped before " +
                                  DeviceLabel(*devices[order.steps[run.results.size()].device].device) + "; " +
                                  Counted(notSent, "device") + " were not sent their Save");
    }
    std::vector<bool> applied(devices.size());
    for (std::size_t s = 0; s < run.results.size(); ++s) {
        if (!order.steps[s].temporary)
            applied[order.steps[s].device] = run.results[s].succeeded;
    }
    const Verification verified = Verify(invocation, session, devices, run, applied, limitSaid, audit);
    if (!audit.Complete())
        Fail(kExitPlanFailed, "the audit log " + PathText(auditPath) + " could not be written completely");
    std::vector<MacAddress> heldBack;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (run.heldBack[i])
            heldBack.push_back(devices[i].row->mac);
    }
    if (!heldBack.empty())
        Fail(kExitPlanFailed,
             "not sent, as a device they wait for did not leave its address: " + ShortMacList(heldBack, kMacsSaid));
    std::fprintf(stderr, "nwctl: %s\n",
                 ApplySummary(verified.good, verified.notProbed, devices.size(), PathText(auditPath)).c_str());
    if (verified.good != devices.size() || !audit.Complete())
        return kExitPlanFailed;
    // Only --unprobed-ok lets a device onto an address not probed; one that
    // lands on another without it is not known to be alone there.
    return verified.notProbed > 0 && !invocation.unprobedOk ? kExitNotProbed : kExitOk;
}

// The order of the Saves, each temporary address probed as a planned one
// is: order, probe the temporary addresses not known yet, and order again.
int OrderProbed(Session& session, const std::vector<PlannedDevice>& devices, const std::vector<FoundDevice>& found,
                AddressUse& use, SaveOrder& order)
{
    for (int round = 0;; ++round) {
        order = OrderSaves(devices, found, session.OwnAdapters(), use);
        if (order.unprobed.empty())
            return kExitOk;
        if (round == kAssignProbeRounds)
            return Fail(kExitPlanRefused, "the temporary addresses kept turning out in use by other hosts through " +
                                              std::to_string(kAssignProbeRounds) + " probes. Nothing was sent");
        if (const int status = ProbeAddressesInUse(session, order.unprobed, use))
            return status;
    }
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
        return Fail(kExitNoDevices, PathText(invocation.file) +
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
    std::vector<std::uint32_t> unprobed = UnprobedAddresses(rows, found, use);
    std::vector<PlanProblem> problems =
        FindPlanProblems(rows, found, session.OwnAdapters(), use, invocation.unprobedOk);
    const std::vector<PlannedDevice> devices = PlannedDevices(rows, found);
    std::size_t changing = 0;
    for (const PlannedDevice& device : devices) {
        const auto changes = ChangedSettings(device.device->record, device.row->change);
        changing += !changes.empty();
        std::printf("line %d: %s: %s\n", device.row->line, DeviceLabel(*device.device).c_str(),
                    DescribeChanges(changes).c_str());
    }
    // The order matters only for a plan that can be applied.
    SaveOrder order;
    if (problems.empty()) {
        const std::string said = use.limit;
        if (const int status = OrderProbed(session, devices, found, use, order))
            return status;
        SayProbeLimit(use, said);
        problems = order.problems;
        for (const std::string& note : order.notes)
            std::printf("order: %s\n", note.c_str());
        // A device stands on its temporary address as on a planned one.
        const std::vector<std::uint32_t> temporaries = UnprobedTemporaries(order, use);
        unprobed.insert(unprobed.end(), temporaries.begin(), temporaries.end());
        if (!invocation.unprobedOk) {
            for (PlanProblem& problem : UnprobedTemporaryProblems(devices, order, use))
                problems.push_back(std::move(problem));
        }
    }
    if (invocation.unprobedOk)
        SayTakenAsFree(unprobed);
    for (const PlanProblem& problem : problems)
        std::printf("problem: line %d: %s\n", problem.line, problem.text.c_str());
    FlushOutput();
    std::fprintf(stderr, "nwctl: %zu planned, %zu found, %zu to change, %s\n", rows.size(), devices.size(), changing,
                 Counted(problems.size(), "problem").c_str());

    if (!problems.empty())
        return Fail(kExitPlanRefused,
                    (invocation.apply ? "refused while problems stand. Nothing was sent" : "the plan has problems") +
                        UnprobedAdvice(invocation.unprobedOk ? 0 : unprobed.size()));
    if (!invocation.apply)
        return kExitOk;
    const Confirmation answer = Confirm("apply the plan to " + Counted(changing, "device") + "?", invocation.yes);
    if (answer != Confirmation::Yes)
        return NotConfirmed(answer);
    return Apply(invocation, session, devices, order, user, password, use.limit);
}

namespace {

bool CheckPlanArguments(const Invocation& invocation, std::string& error)
{
    if (invocation.assignFirst && (!invocation.file.empty() || invocation.apply))
        error = "plan --assign writes a plan; it takes no plan file and no --apply";
    else if (!invocation.assignFirst && invocation.file.empty())
        error = "plan needs a plan file, or --assign FIRST_ADDRESS to write one";
    else if (!invocation.assignFirst && (AnySettingGiven(invocation) || !invocation.product.empty()))
        error = "--mask, --gateway, --dns and --product go with plan --assign";
    else
        return true;
    return false;
}

const char kPlanHelp[] = R"(usage: nwctl plan FILE.csv [--apply --user U [--password-file FILE]
                  [--timeout S] [-y|--yes]] [--unprobed-ok]
                  [--adapter NAME|ADDRESS|all] [--rounds N]
       nwctl plan --assign FIRST_ADDRESS [--mask M] [--gateway G] [--dns D]
                  [--product TEXT] [--unprobed-ok] [--adapter NAME|ADDRESS|all]
                  [--rounds N]

A plan is a CSV file with a header line: a mac column and any of ip, mask,
gateway, dns, mode, web_port, control_port, video_port,
audio_transmit_port, audio_receive_port; a blank cell keeps the device's
value. The other columns of a search's CSV (https, product, maker,
firmware, name, adapter) are ignored, so an edited search --format csv is
a plan; any other column is refused, naming the nearest known one.

Without --apply (a dry run) nwctl searches, probes who answers for the
addresses the devices would have (ARP), and prints, for every device, its
changes from the current values, and every problem: a MAC not found or
answering from two addresses, a MAC planned twice, two devices planned onto
one address, an address used by a device outside the plan or by this
computer, an address another host answers for ("198.51.100.31 is planned
for 00:1A:2B:00:00:05 but is in use by 02:00:5E:10:00:07"; a device
answering for its own address is none, nor are the plan's devices, which
leave theirs),
an address no device can have (0.0.0.0/8, loopback, multicast, the
subnet's network or broadcast address), an address, mask, gateway or DNS
that is not valid, a gateway outside the subnet, a mode neither static nor
dhcp, a port of 0 or two ports alike (which the device refuses), and an
address a device moves onto (not the one it keeps) that could not be
probed ("could not be probed (WHY): whether
another host holds it is unknown"), with the reason: off every adapter's
subnet without the raw packet right, SendARP not available (Wine), ...
--unprobed-ok takes such addresses as free and says which on standard
error.

A device moves onto an address only after every device that holds it has
left it, so the Saves go in that order, and the dry run says where it
differs ("order: line 2 after line 3: 00:1A:2B:00:00:01 moves onto
198.51.100.130 once 00:1A:2B:00:30:01 has left it"). Devices that wait for
each other in a circle (two that swap addresses, or more) are untied by the
first of them in the plan going through a temporary address first, chosen
as --assign chooses addresses (in the device's subnet, free of hosts as the
probe found it, neither planned nor used by a found device nor this
computer's) and named in the dry run ("order: line 2: ... goes through
198.51.100.3 first: ..."); a circle with no free address in its subnet is a
problem, and so is a temporary address that could not be probed, unless
--unprobed-ok.

With --apply it refuses while a problem stands; else, after confirmation,
it sends each device its Save record, one at a time in that order, waits
for each answer (--timeout, default 5 s), searches again, probes the
addresses the devices show and checks that every device shows its planned
values and that no other MAC answers for its address, to the probe or to
the search ("NOT verified: ... is in use by ... too"); a device at an
address that could not be probed is "verified, address not probed", and
the summary counts them ("13 of 14 devices applied and verified, 13 of them
at addresses that could not be probed"). A Save that fails (or gets no
answer) holds back every Save that waits for its device to leave: those
are not sent ("not sent: 00:1A:2B:00:30:01 has not left 198.51.100.130 ..."
with that Save's answer), and the summary names them. On a terminal a
count shows how far it has got.

Ctrl-C or SIGTERM ends the run after the Save in flight: no other Save is
sent, its answer is waited for (within --timeout), the audit log gets an
"interrupted" line, and standard error says how far it got ("interrupted
after 2 of 20; not sent: ..."); nothing is verified. A second Ctrl-C ends
it at once; every audit line written so far stays.

The audit log, JSON lines beside the plan file (named after it and the
time), has a line for each thing as it happens, written at once so that a
run cut short keeps it: each Save sent (event "sent", with the values
before and those sent; "not sent" when it could not leave or was held
back, with the reason and, for one held back, "waits_for": the MAC of the
device that did not leave), each answer ("answer": its text and code, or
"no answer"), each device with nothing to change ("unchanged"), each
verification ("verify", with "probed": whether its address was probed, and
"in_use_by": the other MACs that answer for the device's address, null
when it was not probed and the search heard no other), and a run ended by
Ctrl-C or SIGTERM ("interrupted": how many devices were sent their Saves,
of how many, and "not_sent": the MACs of the others). A Save to a
temporary address is logged as any other. Every line but "interrupted" has
the device's MAC, every line the time; none has a password or digest.

--assign writes a plan on standard output: the devices found (those whose
product name holds TEXT, in any case, with --product) get consecutive
addresses from FIRST_ADDRESS in MAC order, inside FIRST_ADDRESS's subnet by
the mask each device will have (--mask, else its own), skipping the
subnet's network and broadcast addresses, this computer's addresses, every
address that a found device outside the plan uses, the gateway's and the
DNS server's, and every address another host answers for: it probes the
addresses it gives and gives again until every one is known to be free or
could not be probed, and names each it skipped on standard error
("skipped 198.51.100.31: in use by 02:00:5E:10:00:07"). A device now in
DHCP mode gets mode static, with a note on standard error. The plan is
written only when its own dry run would pass; otherwise every problem is
named and nothing is written: an address it would give that could not be
probed is such a problem, unless --unprobed-ok takes it as free.

exit status: 0 no problems (with --apply: all applied and verified); 6
problems found (with --apply: refused, nothing sent), an address not
probed among them without --unprobed-ok, or --assign ran out of addresses,
kept finding them in use, or would write a plan with problems; 7 a device
failed, did not answer, was held back or does not show its planned values,
another host or device answers for its address, or the audit log could not
be written; 17 all applied and verified, but without --unprobed-ok some at
an address that could not be probed (one they keep, or one the plan did
not give, such as DHCP's); 130 ended by Ctrl-C or SIGTERM; 9 the plan names no device, no
device answered, or none matched --product; 5
not confirmed; 2 bad arguments or plan file; 1 network, the addresses
could not be probed, or the output could not be written.
)";

}  // namespace

extern const CommandEntry kPlanCommand = {"plan",
                                          RunPlan,
                                          "plan FILE   check a plan for many devices; with --apply, carry it out\n"
                                          "plan --assign FIRST_ADDRESS   write a plan of consecutive addresses",
                                          kPlanHelp,
                                          Operands::OneFile,
                                          nullptr,
                                          {option::kSearching,
                                           option::kSending,
                                           {&option::kTimeout, &option::kApply, &option::kAssign, &option::kMask,
                                            &option::kGateway, &option::kDns, &option::kProduct, &option::kUnprobedOk}},
                                          {},
                                          CheckPlanArguments};
