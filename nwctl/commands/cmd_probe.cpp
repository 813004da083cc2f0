// probe: who answers for addresses on the LAN.
#include <cstdio>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/options.h"
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

namespace {

const char kProbeHelp[] = R"(usage: nwctl probe ADDRESS|FIRST-LAST|NETWORK/PREFIX...
                   [--format table|csv|json] [--adapter NAME|ADDRESS|all]

Asks the LAN who answers for each address: any host that holds it, not
only devices that answer the search (a PC, a printer, another maker's
camera). Operands: dotted addresses (198.51.100.10), ranges
(198.51.100.10-198.51.100.40) and networks (198.51.100.0/24, without its
network and broadcast addresses); at most 65536 addresses in all.

Prints each address with its state and the MACs that answered: used (one
MAC), conflict (two or more), free (nobody answered) or not-probed. This
computer's own addresses show its MAC as "this computer" in the table; CSV
and JSON keep the MAC and name it once more as this_computer (blank, or
null, for other addresses). A probe that takes more than a second shows
on standard error, when that is a terminal, how many addresses it has
asked about.

On Linux with the raw packet right (root, or cap_net_raw) nwctl sends ARP
probes that carry no address of its own, as a host checks an address
before it takes it, so every host that holds an address answers, on
whatever subnet, and every MAC that answers is shown. All addresses are
probed together, three times 0.2 s apart for those not answered yet, then
answers are awaited for a second. Without that right, and on Windows, it
asks the system's own address resolution, which reaches only addresses on
an adapter's subnet and keeps one MAC per address; standard error says
once which addresses could not be probed, why (on Windows: not on-link
from any adapter, or SendARP not available, as under Wine, whose SendARP
is a stub) and how to grant the right.

exit status: 0 every address probed, no conflict; 8 an address answered by
two or more MACs; 17 some addresses could not be probed (no conflict among
the rest); 2 bad arguments; 1 network, or the output could not be
written.
)";

}  // namespace

extern const CommandEntry kProbeCommand = {"probe",
                                           RunProbe,
                                           "probe ADDRESS...   who answers for addresses on the LAN, devices or not",
                                           kProbeHelp,
                                           Operands::Addresses,
                                           "one or more addresses, ranges FIRST-LAST or networks ADDRESS/PREFIX",
                                           {{&option::kAdapter}},
                                           {OutputFormat::Table, OutputFormat::Csv, OutputFormat::Json},
                                           nullptr};
