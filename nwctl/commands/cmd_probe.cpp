// probe: who answers for addresses on the LAN.
#include <cstdio>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/progress.h"
#include "cli/standard_output.h"
#include "commands/command_probe.h"
#include "net/adapters.h"
#include "probe/address_probe.h"
#include "probe/probe_output.h"

int RunProbe(const Invocation& invocation)
{
    std::vector<Adapter> own, chosen;
    std::string error;
    if (!ListAdapters(own, error) || !ChooseAdapters(own, invocation.adapter, chosen, error))
        return Fail(kExitNetwork, error);
    AddressUse use;
    bool probed = false;
    {
        // A /16 takes half a minute: a count shows on a terminal.
        Progress progress("probing", invocation.addresses.size());
        probed = ProbeAddresses(chosen, own, invocation.addresses, use, error,
                                [&progress](std::size_t done, std::size_t total) { progress.Show(done, total); });
    }
    if (!probed)
        return Fail(kExitNetwork, error);
    WriteOutput(FormatProbe(use, OwnAddressMacs(own), invocation.format));
    SayProbeLimit(use);
    const ProbeCounts counts = CountProbe(use);
    std::fprintf(stderr, "nwctl: %s\n", ProbeSummary(counts).c_str());
    if (counts.conflict > 0)
        return kExitReported;
    return counts.notProbed > 0 ? kExitNotProbed : kExitOk;
}
