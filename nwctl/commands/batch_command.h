// The step reboot and reset share: a fresh search, the named devices found,
// the window's confirmation, then the command to each, 10 ms apart.
#pragma once

#include <cstdint>

struct Invocation;

// `command` is DISCOVERY_CMD_REBOOT or DISCOVERY_CMD_FACTORY_RESET. Returns
// the exit status.
int SendBatchCommand(const Invocation& invocation, std::uint32_t command);
