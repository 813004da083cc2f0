// nwctl's commands, in the order of the program's help. Each command's
// file (commands/cmd_*.cpp) defines its entry: word, summary, help, the
// options it takes and the function that runs it. Adding a command is its
// file, its line in commands/CMakeLists.txt and its name here, twice.
#include "cli/command_table.h"

extern const CommandEntry kSearchCommand, kAdaptersCommand, kSetCommand, kRebootCommand, kResetCommand, kPlanCommand,
    kCheckCommand, kReportCommand, kWatchCommand, kProbeCommand;

namespace {

const CommandEntry* const kEntries[] = {
    &kSearchCommand, &kAdaptersCommand, &kSetCommand,    &kRebootCommand, &kResetCommand,
    &kPlanCommand,   &kCheckCommand,    &kReportCommand, &kWatchCommand,  &kProbeCommand,
};

}  // namespace

const CommandTable kCommandTable = kEntries;
