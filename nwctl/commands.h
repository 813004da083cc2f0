// The commands; each returns the process's exit status.
#pragma once

#include "args.h"

int RunSearch(const Invocation& invocation);
int RunAdapters(const Invocation& invocation);
int RunSet(const Invocation& invocation);
int RunRestart(const Invocation& invocation);  // reboot and reset
int RunPlan(const Invocation& invocation);
int RunCheck(const Invocation& invocation);
