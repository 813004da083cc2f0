#include "commands/command_search.h"

#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "commands/confirmation.h"
#include "commands/credentials.h"
#include "io/prompt.h"
#include "io/safe_text.h"
#include "ipv4_text.h"

int OpenAndSearch(const Invocation& invocation, Session& session, std::vector<FoundDevice>& found)
{
    std::string error;
    if (!session.Open(invocation.adapter, error) || !session.Search(invocation.rounds, ErrorIsTerminal(), found, error))
        return Fail(kExitNetwork, error);
    return kExitOk;
}

int NoDeviceAnswered(const Session& session)
{
    std::string adapters;
    for (const Adapter& adapter : session.SearchAdapters())
        adapters += (adapters.empty() ? "" : ", ") + SafeText(adapter.name) + " (" + FormatIPv4(adapter.address) + ")";
    return Fail(kExitNoDevices, "no device answered the search from " + adapters +
                                    ". Likely: no device is on this adapter's network; a firewall blocks the replies "
                                    "to UDP port 40014; or the devices are on another adapter (nwctl adapters lists "
                                    "them, --adapter all searches from every one)");
}

int SearchToSend(const Invocation& invocation, std::string& user, std::string& password, Session& session,
                 std::vector<FoundDevice>& found)
{
    if (!CanConfirm(invocation.yes))
        return NotConfirmed(Confirmation::NobodyToAsk);
    std::string error;
    if (!ObtainCredentials(invocation, user, password, error))
        return Fail(kExitUsage, error + ". Nothing was sent");
    return OpenAndSearch(invocation, session, found);
}
