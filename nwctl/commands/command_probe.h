// The probe of who answers for which addresses, as a command runs it after
// its search: from the adapters it searched from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/session.h"
#include "probe/address_use.h"

// Probes `addresses` into `use` (nothing for none). kExitOk, or
// kExitNetwork after saying why nothing could be probed.
int ProbeAddressesInUse(const Session& session, const std::vector<std::uint32_t>& addresses, AddressUse& use);

// Says `use.limit` on standard error, unless it is empty or is `said`, the
// limit an earlier probe of the same run said already.
void SayProbeLimit(const AddressUse& use, const std::string& said = std::string());

// Says on standard error that `unprobed`, addresses that could not be
// probed, are taken as free as --unprobed-ok told; nothing for none.
void SayTakenAsFree(const std::vector<std::uint32_t>& unprobed);
