// report: what a site has, in one file to hand over. It gathers (search,
// probe, inventory, audit logs) and writes; the report's rules are in
// report_model, report_html and report_json.
#include <cstdio>
#include <ctime>
#include <string_view>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/options.h"
#include "cli/standard_output.h"
#include "commands/command_search.h"
#include "commands/file_reading.h"
#include "io/counted.h"
#include "io/file_writing.h"
#include "io/safe_text.h"
#include "net/session.h"
#include "probe/address_probe.h"
#include "report/report_html.h"
#include "report/report_json.h"
#include "report/report_model.h"
#include "rules/audit_reading.h"
#include "rules/inventory_rules.h"

int RunReport(const Invocation& invocation)
{
    // The output first: an unwritable path is refused before the search.
    // "-" is standard output.
    const bool toStandardOutput = invocation.output == "-";
    ReplacingFile output;
    std::string error;
    if (!toStandardOutput && !output.Open(invocation.output, error))
        return Fail(kExitUsage, error);

    ReportInput input;
    input.site = invocation.site;
    input.minFirmwareDate = invocation.minFirmwareDate;
    if (invocation.inventory) {
        input.inventory.emplace();
        if (const int status = ReadRowsFile(*invocation.inventory, ReadInventory, *input.inventory))
            return status;
    }
    for (const std::string& path : invocation.audits) {
        std::string text;
        if (!ReadWholeFile(path, text, error))
            return Fail(kExitUsage, error);
        input.auditLogs.push_back(path);
        const std::size_t known = input.auditProblems.size();
        ReadAuditLog(path, text, input.changes, input.auditProblems);
        // The log's name is a path, shown as given; the rest is the file's.
        for (std::size_t i = known; i < input.auditProblems.size(); ++i)
            Fail(kExitOk, PathText(path) + SafeText(std::string_view(input.auditProblems[i]).substr(path.size())));
    }

    Session session;
    if (const int status = OpenAndSearch(invocation, session, input.found))
        return status;
    input.time = std::time(nullptr);
    input.searchAdapters = session.SearchAdapters();
    input.ownAdapters = session.OwnAdapters();
    const std::vector<std::uint32_t> addresses =
        input.searchAdapters.empty() ? std::vector<std::uint32_t>()
                                     : AddressesToProbe(MapRangeOf(input.searchAdapters.front()), input.ownAdapters);
    if (!ProbeAddresses(input.searchAdapters, input.ownAdapters, addresses, input.use, error)) {
        // The report still says what the search found, and that the
        // addresses were not probed, and why.
        Fail(kExitOk, "the addresses could not be probed: " + error);
        input.use = AddressUse();
        for (const std::uint32_t address : addresses)
            input.use.NotProbed(address, error);
        input.use.limit = error;
    }

    const ReportModel model = BuildReport(input);
    const std::string text = invocation.format == OutputFormat::Json ? ReportJson(model) : ReportHtml(model);
    if (toStandardOutput) {
        // main says why standard output could not be written.
        if (!WriteOutput(text))
            return kExitNetwork;
    } else if (!output.Commit(text, error)) {
        return Fail(kExitNetwork, error);
    }
    std::fprintf(stderr, "nwctl: report written to %s: %s, %s, %s logged\n",
                 toStandardOutput ? "standard output" : PathText(invocation.output).c_str(),
                 Counted(model.devices.size(), "device").c_str(), Counted(model.findings.size(), "finding").c_str(),
                 Counted(model.changes.size(), "change").c_str());
    // An empty site is worth a report that says so; the status says it too.
    if (input.found.empty())
        return NoDeviceAnswered(session);
    return kExitOk;
}

namespace {

bool CheckReportArguments(const Invocation& invocation, std::string& error)
{
    if (!invocation.output.empty())
        return true;
    error = "report needs -o FILE, the file to write the report to";
    return false;
}

const char kReportHelp[] = R"(usage: nwctl report -o FILE [--site NAME] [--inventory FILE] [--audit LOG...]
                    [--min-firmware-date YYYYMMDD] [--format html|json]
                    [--adapter NAME|ADDRESS|all] [--rounds N]

Writes a handover report of the site to FILE (-o FILE or --output FILE):
one HTML page that needs nothing else (no script, no fonts or pictures
from elsewhere; it prints on A4), or with --format json the same content
as JSON. It searches, probes who answers for each address of the
adapter's subnet, and shows: the site's name, the time and this
computer's adapter; the devices by model, by firmware date and by address
mode; every device with every field, by address; the findings of nwctl check (with --inventory FILE:
missing and unexpected devices; conflicts; with --min-firmware-date, old
firmware) and devices still on a factory port (web 80, control 30001, video
30002, audio 30003 and 30004); a map of the subnet's addresses (devices,
other hosts that answered the probe, free, not probed: the map says when
addresses could not be probed, and why), at most 1024 of them around this
computer's address; the firmware dates as a chart; and, with --audit, each
change that plan --apply logged: before and after, time, the device's
answer and whether the search after it showed the change.
--audit takes every word up to the next option, so site-*.audit.jsonl
gives it every log; a line of a log that is not an audit line is named on
standard error and in the report, and skipped.
Device texts are escaped as in the table and CSV (bytes outside printable
ASCII as \xNN, \ as \\), then as HTML text; in JSON as search writes
them. FILE is written whole or not at all: a new file beside it takes its
name once complete. Only a regular file that may be written is replaced:
a device, a pipe, a socket, a link, a folder or a read-only file is
refused. -o - writes the report on standard output.

exit status: 0 written; 9 no device answered the search (the report is
written and says so); 2 bad arguments or file, or FILE cannot be written
or is not a regular file; 1 network, or the report could not be written
once complete.
)";

}  // namespace

extern const CommandEntry kReportCommand = {
    "report",
    RunReport,
    "report -o FILE  write a handover report of the site (HTML or JSON)",
    kReportHelp,
    Operands::None,
    nullptr,
    {option::kSearching,
     {&option::kOutput, &option::kSite, &option::kInventory, &option::kAudit, &option::kMinFirmwareDate}},
    {OutputFormat::Html, OutputFormat::Json},
    CheckReportArguments};
