#include "commands/confirmation.h"

#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "io/prompt.h"

Confirmation Confirm(const std::string& question, bool yes)
{
    if (yes)
        return Confirmation::Yes;
    if (!InputIsTerminal())
        return Confirmation::NobodyToAsk;
    std::string answer;
    if (!AskTerminal(question + " [y/N] ", answer, false))
        return Confirmation::No;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" || answer == "Yes" ? Confirmation::Yes
                                                                                                   : Confirmation::No;
}

bool CanConfirm(bool yes)
{
    return yes || InputIsTerminal();
}

int NotConfirmed(Confirmation answer)
{
    return Fail(kExitNotConfirmed, answer == Confirmation::NobodyToAsk
                                       ? "standard input is not a terminal to ask on: give --yes to send without "
                                         "asking. Nothing was sent"
                                       : "not confirmed. Nothing was sent");
}
