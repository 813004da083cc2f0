// search: every device that answers, in the chosen format.
#include <cstdio>

#include "command_support.h"
#include "commands.h"
#include "device_output.h"
#include "exit_codes.h"
#include "prompt.h"
#include "session.h"

int RunSearch(const Invocation& invocation)
{
    Session session;
    std::vector<FoundDevice> found;
    std::string error;
    if (!session.Open(invocation.adapter, error) || !session.Search(invocation.rounds, ErrorIsTerminal(), found, error))
        return Fail(kExitNetwork, error);
    std::fputs(FormatDevices(found, invocation.format).c_str(), stdout);
    return kExitOk;
}
