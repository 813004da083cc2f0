#include "commands/command_probe.h"

#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "probe/address_probe.h"
#include "rules/unprobed_rules.h"

int ProbeAddressesInUse(const Session& session, const std::vector<std::uint32_t>& addresses, AddressUse& use)
{
    if (addresses.empty())
        return kExitOk;
    std::string error;
    if (!ProbeAddresses(session.SearchAdapters(), session.OwnAdapters(), addresses, use, error))
        return Fail(kExitNetwork, "cannot probe which addresses are in use: " + error);
    return kExitOk;
}

void SayProbeLimit(const AddressUse& use, const std::string& said)
{
    if (!use.limit.empty() && use.limit != said)
        Fail(kExitOk, use.limit);
}

void SayTakenAsFree(const std::vector<std::uint32_t>& unprobed)
{
    if (!unprobed.empty())
        Fail(kExitOk, TakenAsFreeText(unprobed));
}
