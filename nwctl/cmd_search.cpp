// search: every device that answers, in the chosen format.
#include "args.h"
#include "command_search.h"
#include "device_output.h"
#include "exit_codes.h"
#include "prompt.h"
#include "session.h"
#include "standard_output.h"

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
