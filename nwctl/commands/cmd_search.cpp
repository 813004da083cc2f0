// search: every device that answers, in the chosen format.
#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/options.h"
#include "cli/standard_output.h"
#include "commands/command_search.h"
#include "device/device_output.h"
#include "io/prompt.h"
#include "net/session.h"

int RunSearch(const Invocation& invocation)
{
    Session session;
    std::vector<FoundDevice> found;
    if (const int status = OpenAndSearch(invocation, session, found))
        return status;
    const auto fields = ShownFields(invocation.format, invocation.columns.fields, invocation.columns.wide);
    // On a terminal the table fits its width; --wide shows every text whole.
    const std::optional<std::size_t> width = invocation.columns.wide ? std::nullopt : OutputColumns();
    WriteOutput(FormatDevices(found, invocation.format, fields, width));
    return found.empty() ? NoDeviceAnswered(session) : kExitOk;
}

namespace {

const char kSearchHelp[] = R"(usage: nwctl search [--adapter NAME|ADDRESS|all] [--rounds N]
                    [--format table|csv|json] [--columns LIST | --wide]

Sends the search request N times (default 5) a second apart from the
adapter and prints every device that answered, once per MAC and IP pair.
--adapter all searches from every adapter at once; the adapter column says
where each device answered. Default: the first adapter nwctl adapters lists.

The table shows mac, ip, mode, product and firmware, to fit a terminal 80
columns wide; --wide shows every field. On a terminal the table fits its
width (COLUMNS, where set, says it): the longest of product, maker,
firmware, name and adapter are cut, ending in ~; with --wide, or to a file
or a pipe, every text is whole. CSV and JSON have every field. The CSV
output, edited, is a plan (nwctl plan --help).
--columns LIST chooses the fields and their order, in any format: field
names (nwctl --help lists them) joined by commas, such as mac,ip,name.
In the table an empty text shows as -; CSV and JSON leave it empty.
In CSV a text that starts with =, +, -, @, a tab or a carriage return is
written after a single quote, so that a spreadsheet shows it as text
instead of running it as a formula.

While it runs, standard error shows the round and the number of devices
found so far when that is a terminal. When the receive queue was full and
replies were lost, nwctl says how many (on Linux): a device missed in one
round is usually heard in the next, so search with more --rounds.
Device texts are escaped: bytes outside printable ASCII as \xNN and \ as
\\ in the table and CSV; in JSON each byte is the character of the same
number, controls escaped.

exit status: 0 devices found; 9 no device answered (standard error names
the likely causes); 2 bad arguments; 1 network, or the output could not be
written.
)";

}  // namespace

extern const CommandEntry kSearchCommand = {"search",
                                            RunSearch,
                                            "search      list the devices that answer",
                                            kSearchHelp,
                                            Operands::None,
                                            nullptr,
                                            {option::kSearching, {&option::kColumns, &option::kWide}},
                                            {OutputFormat::Table, OutputFormat::Csv, OutputFormat::Json},
                                            nullptr};
