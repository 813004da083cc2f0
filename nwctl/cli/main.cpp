// nwctl: the command-line companion of the Nodewright window, for sites
// with dozens or hundreds of devices.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command_table.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "cli/usage.h"
#include "nw_version.h"

namespace {

int Run(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    Invocation invocation;
    std::string error;
    if (!ParseArguments(args, kCommandTable, invocation, error))
        return Fail(kExitUsage, error + "\n(nwctl " +
                                    (invocation.command ? std::string(invocation.command->word) + " " : "") +
                                    "--help tells more)");
    if (invocation.help) {
        std::fputs(invocation.command ? invocation.command->help : ProgramHelp(kCommandTable).c_str(), stdout);
        return kExitOk;
    }
    if (invocation.version) {
        std::printf("nwctl %s\n", NW_VERSION);
        return kExitOk;
    }
    return invocation.command->run(invocation);
}

}  // namespace

int main(int argc, char** argv)
{
    // Whatever ran, its output reached standard output, or the status says
    // it did not.
    return FinishOutput(Run(argc, argv));
}
