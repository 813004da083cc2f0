// Standard output, checked: what a command prints there is its result, so
// a write that fails (a full disk, a closed pipe, /dev/full) is a failure
// with the system's reason, never a success. main checks it once after
// every command; a command that has to know earlier flushes it here.
#pragma once

#include <string_view>

// Writes `text` to standard output and out of nwctl's buffer at once, the
// reason kept if it fails. False once any write to it has failed.
bool WriteOutput(std::string_view text);

// Writes out what standard output holds, before a line on standard error
// that should follow it, or before a long wait. False once any write to it
// has failed; the first failure's reason is kept for FinishOutput.
bool FlushOutput();

// After the command: writes out the rest and closes standard output. When
// any write to it failed, says so with the reason on standard error and
// returns kExitNetwork; else `status`.
int FinishOutput(int status);
