// nwctl: the command-line companion of the Nodewright window, for sites
// with dozens or hundreds of devices.
#include <cstdio>
#include <string>
#include <vector>

#include "args.h"
#include "command_support.h"
#include "commands.h"
#include "exit_codes.h"
#include "nw_version.h"
#include "usage.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    Invocation invocation;
    std::string error;
    if (!ParseArguments(args, invocation, error))
        return Fail(kExitUsage, error + "\n(nwctl " +
                                    (invocation.command == Command::None ? "" : CommandWord(invocation.command)) +
                                    (invocation.command == Command::None ? "" : " ") + "--help tells more)");
    if (invocation.help) {
        std::fputs(UsageText(invocation.command), stdout);
        return kExitOk;
    }
    if (invocation.version) {
        std::printf("nwctl %s\n", NW_VERSION);
        return kExitOk;
    }
    switch (invocation.command) {
        case Command::Search:
            return RunSearch(invocation);
        case Command::Adapters:
            return RunAdapters(invocation);
        case Command::Set:
            return RunSet(invocation);
        case Command::Reboot:
        case Command::Reset:
            return RunRestart(invocation);
        case Command::Plan:
            return RunPlan(invocation);
        case Command::Check:
            return RunCheck(invocation);
        case Command::None:
            break;
    }
    return kExitUsage;
}
