// reboot: each named device restarted, after confirmation.
#include "cli/args.h"
#include "cli/options.h"
#include "commands/batch_command.h"
#include "device_commands.h"

namespace {

int RunReboot(const Invocation& invocation)
{
    return SendBatchCommand(invocation, DISCOVERY_CMD_REBOOT);
}

const char kRebootHelp[] = R"(usage: nwctl reboot MAC... --user U [--password-file FILE] [-y|--yes]
                    [--adapter NAME|ADDRESS|all] [--rounds N]

Finds the devices by a fresh search and sends each a reboot, 10 ms apart,
after confirmation. Devices do not answer a reboot; nwctl prints what it
sent to whom and says that it is not confirmed: a device restarting does
not answer a search until it is up again. If a MAC does not answer the
search, nothing is sent.

exit status: 0 sent; 3 a device not found; 5 not confirmed; 2 bad
arguments; 1 network, or the output could not be written.
)";

}  // namespace

extern const CommandEntry kRebootCommand = {"reboot",
                                            RunReboot,
                                            "reboot MAC...   restart devices",
                                            kRebootHelp,
                                            Operands::Macs,
                                            "the MAC address of every device",
                                            {option::kSearching, option::kSending},
                                            {},
                                            nullptr};
