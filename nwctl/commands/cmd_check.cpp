// check: the inventory against a fresh search and a probe of the addresses
// it and the devices use.
#include <cstdio>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/standard_output.h"
#include "commands/command_probe.h"
#include "commands/command_search.h"
#include "commands/file_reading.h"
#include "net/session.h"
#include "rules/inventory_rules.h"
#include "rules/unprobed_rules.h"

int RunCheck(const Invocation& invocation)
{
    std::vector<ExpectedDevice> expected;
    if (const int status = ReadRowsFile(invocation.file, ReadInventory, expected))
        return status;
    Session session;
    std::vector<FoundDevice> found;
    if (const int status = OpenAndSearch(invocation, session, found))
        return status;
    AddressUse use;
    if (const int status = ProbeAddressesInUse(session, InventoryAddresses(expected, found), use))
        return status;
    SayProbeLimit(use);
    const std::vector<InventoryFinding> findings =
        CompareInventory(expected, found, session.OwnAdapters(), use, invocation.minFirmwareDate);
    WriteOutput(FormatFindings(findings, invocation.format));
    std::fprintf(stderr, "nwctl: %zu expected, %zu answered, %zu reported\n", expected.size(), found.size(),
                 findings.size());
    if (found.empty())
        return NoDeviceAnswered(session);
    if (!findings.empty())
        return kExitReported;
    // What could not be probed is not known to be fine.
    return use.NotProbedAddresses().empty() ? kExitOk : Fail(kExitNotProbed, NothingToReportBut(use));
}

namespace {

const char kCheckHelp[] = R"(usage: nwctl check EXPECTED.csv [--min-firmware-date YYYYMMDD]
                   [--format table|json] [--adapter NAME|ADDRESS|all] [--rounds N]

Compares the expected devices (a CSV with a mac column and, if it likes,
an ip column) with a fresh search and a probe (ARP) of the addresses they
and the found devices use, and reports: missing devices, devices answering
at another address than expected (wrong-address), unexpected devices,
addresses the search found answered by two MACs or used by this computer
(conflict), addresses that two MACs or more answer for in the probe, ours
or not (ip-conflict), a MAC answering from two addresses (duplicate-mac)
and, with --min-firmware-date, firmware dated before it by the device
list's rule (the number after the last _ of the version; firmware without a
date counts as older). Addresses that could not be probed are said once on
standard error; with nothing else to report, check says which and why
("nothing to report, but 1 address could not be probed (...): ...") and
exits 17: they are not known to be fine. In the table a kind found on more than 3 devices (other
than a conflict) is one line with the count and the first MACs, after the
rarer findings; --format json lists every finding.

exit status: 0 nothing to report, every address probed; 8 something
reported; 17 nothing else to report, but some addresses could not be
probed; 9 no device answered the search; 2 bad arguments or file; 1
network, the addresses could not be probed, or the output could not be
written.
)";

}  // namespace

extern const CommandEntry kCheckCommand = {"check",
                                           RunCheck,
                                           "check FILE  compare the devices that answer with an inventory",
                                           kCheckHelp,
                                           Operands::OneFile,
                                           "a file of the expected devices",
                                           {option::kSearching, {&option::kMinFirmwareDate}},
                                           {OutputFormat::Table, OutputFormat::Json},
                                           nullptr};
