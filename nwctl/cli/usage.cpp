#include "cli/usage.h"

namespace {

// Before the list of commands.
const char kBefore[] = R"(usage: nwctl COMMAND [options]

Finds and configures network cameras from the command line, speaking the
same UDP protocol as the Nodewright window: requests go to
255.255.255.255 port 40013 from port 40013 of one adapter, answers come to
port 40014.

commands
)";

// After the list of commands.
const char kAfter[] = R"(
nwctl COMMAND --help tells more; nwctl --version prints the version.

Fields, everywhere (CSV header, JSON keys, plan columns):
  mac ip mask gateway dns mode web_port control_port video_port
  audio_transmit_port audio_receive_port https product maker firmware
  name adapter
mode is static or dhcp; name shows only for firmware dated 20220807 or
later (N/A before), as in the window's list.

Credentials (set, reboot, reset, plan --apply): --user USER, and the
password from --password-file FILE (its first line), else from NW_PASSWORD,
else from a prompt without echo when standard input is a terminal.
--password is refused: command lines are visible to other users.
Commands that send ask for confirmation on a terminal; --yes (-y) answers
it (without a terminal, --yes is required).

exit status
  0   done (search, adapters; set: the device answered "Apply", or
      there was nothing to change; plan: no problems, or all applied and
      verified; check: nothing to report, every address probed; report:
      written)
  1   a fault of this computer: no usable adapter, a port cannot be
      opened, nothing could be sent, the addresses could not be probed,
      or the output could not be written
  2   bad arguments or input file (report: or a file it cannot
      write); nothing was sent
  3   a named device did not answer the search, or answered from two
      addresses; nothing was sent
  4   set: no answer from the device within --timeout
  5   not confirmed; nothing was sent
  6   plan, set: problems found, an address that could not be probed
      among them without --unprobed-ok (refused: nothing was sent); plan
      --assign: the addresses ran out or kept turning out in use, or the
      plan would have problems (nothing was written)
  7   plan --apply: a device failed, was held back or does not show its
      planned values, another host or device answers for its address, or
      the audit log could not be written
  8   check: something reported; probe: an address answered by two or
      more MACs
  9   nothing to act on: no device answered the search (search, check,
      plan --assign; report, which still writes its file), none matched
      --product, or the plan names no device
  11-15  set: the device answered Failed (11), Failed. Invalid address
      (12), Failed. Invalid port (13), Failed. Invalid config (14),
      Failed. login failed (15); 16: a result code without a text
  17  probe: some addresses could not be probed, no conflict among the
      rest; check: nothing else to report, but some addresses could not
      be probed; plan --apply without --unprobed-ok: all applied and
      verified, some at an address that could not be probed
  130 plan --apply: ended by Ctrl-C or SIGTERM; the Saves not sent are
      named
)";

}  // namespace

std::string ProgramHelp(const CommandTable& commands)
{
    std::string help = kBefore;
    for (const CommandEntry& command : commands) {
        // Every line of it indented.
        std::string summary = command.summary;
        for (std::size_t at = 0; (at = summary.find('\n', at)) != std::string::npos; at += 3)
            summary.insert(at + 1, "  ");
        help += "  " + summary + "\n";
    }
    return help + kAfter;
}
