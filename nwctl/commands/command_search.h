// The search a command starts with, and what it says when no device
// answered.
#pragma once

#include <string>
#include <vector>

#include "cli/args.h"
#include "device/found_devices.h"
#include "net/session.h"

// Opens the adapters --adapter names and searches. kExitOk, or the exit
// status after saying why not.
int OpenAndSearch(const Invocation& invocation, Session& session, std::vector<FoundDevice>& found);

// Says on standard error that the search found no device, with the likely
// causes, and returns kExitNoDevices.
int NoDeviceAnswered(const Session& session);

// The start of a command that sends: a way to confirm and the credentials,
// checked before the search, then the search. kExitOk, or the exit status
// after saying why not.
int SearchToSend(const Invocation& invocation, std::string& user, std::string& password, Session& session,
                 std::vector<FoundDevice>& found);
