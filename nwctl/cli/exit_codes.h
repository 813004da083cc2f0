// nwctl's exit statuses; --help and the README list them.
#pragma once

enum ExitCode : int {
    kExitOk = 0,
    kExitNetwork = 1,       // a fault of this computer: no usable adapter, a port cannot be opened, nothing
                            // could be sent, or output could not be written
    kExitUsage = 2,         // bad arguments or input file; nothing was sent
    kExitNotFound = 3,      // a named device did not answer the search
    kExitNoAnswer = 4,      // set: no answer from the device in time
    kExitNotConfirmed = 5,  // the operator said no, or there was nobody to ask and no --yes
    kExitPlanRefused = 6,   // plan, set: problems stand; nothing was sent (or written)
    kExitPlanFailed = 7,    // plan --apply: a device failed or does not show its planned values
    kExitReported = 8,      // check: something to report; probe: an address answered by two or more MACs
    kExitNoDevices = 9,     // nothing to act on: the search found no device, none matched, the plan names none
    kExitResultBase = 10,   // set: 10 + the device's result (11 to 15), 16 for a result without a text
    // probe, check: some addresses could not be probed, and nothing else to report; plan --apply: a device
    // verified at an address not probed, without --unprobed-ok
    kExitNotProbed = 17,
    // plan --apply: ended by Ctrl-C or SIGTERM before every Save was sent
    // (or verified); 128 + SIGINT, as shells report a program that Ctrl-C
    // ended
    kExitInterrupted = 130,
};
