#include "cli/usage.h"

#include <algorithm>
#include <string_view>

#include "cli/exit_codes.h"

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
)";

}  // namespace

std::string ProgramHelp(const CommandTable& commands)
{
    std::string help = kBefore;
    for (const CommandEntry* command : commands) {
        // Every line of it indented.
        std::string summary = command->summary;
        for (std::size_t at = 0; (at = summary.find('\n', at)) != std::string::npos; at += 3)
            summary.insert(at + 1, "  ");
        help += "  " + summary + "\n";
    }
    help += kAfter;
    for (const ExitStatus& status : kExitStatuses) {
        // "  0   done", "  11-15 set: ...": the meaning from the sixth
        // column on, its later lines indented to it.
        std::string label = std::to_string(status.first);
        if (status.last != status.first)
            label.append(1, '-').append(std::to_string(status.last));
        label.resize(std::max<std::size_t>(label.size() + 1, 4), ' ');
        help.append("  ").append(label);
        for (const char c : std::string_view(status.meaning))
            help.append(c == '\n' ? "\n      " : std::string(1, c));
        help.append(1, '\n');
    }
    return help;
}
