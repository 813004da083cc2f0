// search: every device that answers, in the chosen format.
#include "cli/args.h"
#include "cli/exit_codes.h"
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
    const auto fields = ShownFields(invocation.format, invocation.columns, invocation.wide);
    // On a terminal the table fits its width; --wide shows every text whole.
    const std::optional<std::size_t> width = invocation.wide ? std::nullopt : OutputColumns();
    WriteOutput(FormatDevices(found, invocation.format, fields, width));
    return found.empty() ? NoDeviceAnswered(session) : kExitOk;
}
