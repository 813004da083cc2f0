#include "cli/exit_codes.h"

namespace {

const ExitStatus kStatuses[] = {
    {kExitOk, kExitOk, "ok",
     "done (search, adapters; set: the device answered \"Apply\", or\n"
     "there was nothing to change; plan: no problems, or all applied and\n"
     "verified; check: nothing to report, every address probed; report:\n"
     "written; watch: ended by Ctrl-C or SIGTERM)"},
    {kExitNetwork, kExitNetwork, "network",
     "a fault of this computer: no usable adapter, a port cannot be\n"
     "opened, nothing could be sent, the addresses could not be probed,\n"
     "or the output could not be written"},
    {kExitUsage, kExitUsage, "usage",
     "bad arguments or input file (report: or a file it cannot\n"
     "write); nothing was sent"},
    {kExitNotFound, kExitNotFound, "not-found",
     "a named device did not answer the search, or answered from two\n"
     "addresses; nothing was sent"},
    {kExitNoAnswer, kExitNoAnswer, "no-answer", "set: no answer from the device within --timeout"},
    {kExitNotConfirmed, kExitNotConfirmed, "not-confirmed", "not confirmed; nothing was sent"},
    {kExitPlanRefused, kExitPlanRefused, "refused",
     "plan, set: problems found, an address that could not be probed\n"
     "among them without --unprobed-ok (refused: nothing was sent); plan\n"
     "--assign: the addresses ran out or kept turning out in use, or the\n"
     "plan would have problems (nothing was written)"},
    {kExitPlanFailed, kExitPlanFailed, "failed",
     "plan --apply: a device failed, was held back or does not show its\n"
     "planned values, another host or device answers for its address, or\n"
     "the audit log could not be written"},
    {kExitReported, kExitReported, "reported",
     "check: something reported; probe: an address answered by two or\n"
     "more MACs"},
    {kExitNoDevices, kExitNoDevices, "no-devices",
     "nothing to act on: no device answered the search (search, check,\n"
     "plan --assign; report, which still writes its file), none matched\n"
     "--product, or the plan names no device"},
    {kExitResultBase + 1, kExitResultBase + 5, "device-failed",
     "set: the device answered Failed (11), Failed. Invalid address\n"
     "(12), Failed. Invalid port (13), Failed. Invalid config (14),\n"
     "Failed. login failed (15)"},
    {kExitResultBase + 6, kExitResultBase + 6, "no-result-text",
     "set: the device answered with a result code without a text"},
    {kExitNotProbed, kExitNotProbed, "not-probed",
     "probe: some addresses could not be probed, no conflict among the\n"
     "rest; check: nothing else to report, but some addresses could not\n"
     "be probed; plan --apply without --unprobed-ok: all applied and\n"
     "verified, some at an address that could not be probed"},
    {kExitInterrupted, kExitInterrupted, "interrupted",
     "plan --apply: ended by Ctrl-C or SIGTERM; the Saves not sent are\n"
     "named"},
};

}  // namespace

const std::span<const ExitStatus> kExitStatuses = kStatuses;
