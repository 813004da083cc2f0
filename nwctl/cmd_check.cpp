// check: the inventory against a fresh search.
#include <cstdio>

#include "command_support.h"
#include "commands.h"
#include "exit_codes.h"
#include "inventory_rules.h"
#include "prompt.h"
#include "safe_text.h"
#include "session.h"

int RunCheck(const Invocation& invocation)
{
    std::string text, error;
    std::vector<ExpectedDevice> expected;
    std::vector<std::string> errors;
    if (!ReadWholeFile(invocation.file, text, error))
        return Fail(kExitUsage, error);
    if (!ReadInventory(text, expected, errors)) {
        for (const std::string& fault : errors)
            Fail(kExitUsage, SafeText(invocation.file) + ": " + fault);
        return kExitUsage;
    }
    Session session;
    std::vector<FoundDevice> found;
    if (!session.Open(invocation.adapter, error) || !session.Search(invocation.rounds, ErrorIsTerminal(), found, error))
        return Fail(kExitNetwork, error);
    const std::vector<InventoryFinding> findings = CompareInventory(expected, found, invocation.minFirmwareDate);
    std::fputs(FormatFindings(findings, invocation.format).c_str(), stdout);
    std::fflush(stdout);
    std::fprintf(stderr, "nwctl: %zu expected, %zu answered, %zu reported\n", expected.size(), found.size(),
                 findings.size());
    return findings.empty() ? kExitOk : kExitReported;
}
