// The three things nwsim does; each returns the process's exit status.
#pragma once

#include "options.h"

int RunServe(const ServeOptions& options);
int RunCheck(const ServeOptions& options);
int RunSend(const SendOptions& options);
