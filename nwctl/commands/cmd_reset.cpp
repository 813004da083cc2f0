// reset: each named device back to its factory settings, after confirmation.
#include "cli/args.h"
#include "cli/options.h"
#include "commands/batch_command.h"
#include "device_commands.h"

namespace {

int RunReset(const Invocation& invocation)
{
    return SendBatchCommand(invocation, DISCOVERY_CMD_FACTORY_RESET);
}

const char kResetHelp[] = R"(usage: nwctl reset MAC... --user U [--password-file FILE] [-y|--yes]
                   [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the devices by a fresh search and sends each a factory reset, 10 ms
apart, after confirmation. Devices do not answer it; nwctl prints what it
sent to whom and says that it is not confirmed: a device restarting does
not answer a search until it is up again. If a MAC does not answer the
search, nothing is sent.

exit status: 0 sent; 3 a device not found; 5 not confirmed; 2 bad
arguments; 1 network, or the output could not be written.
)";

}  // namespace

extern const CommandEntry kResetCommand = {"reset",
                                           RunReset,
                                           "reset MAC...    return devices to their factory settings",
                                           kResetHelp,
                                           Operands::Macs,
                                           "the MAC address of every device",
                                           {option::kSearching, option::kSending},
                                           {},
                                           nullptr};
