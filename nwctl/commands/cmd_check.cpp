// check: the inventory against a fresh search and a probe of the addresses
// it and the devices use.
#include <cstdio>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
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
