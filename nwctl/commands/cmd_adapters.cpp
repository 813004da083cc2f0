// adapters: what --adapter can name.
#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "io/safe_text.h"
#include "io/table.h"
#include "ipv4_text.h"
#include "net/adapters.h"

int RunAdapters(const Invocation& invocation)
{
    std::vector<Adapter> adapters;
    std::string error;
    if (!ListAdapters(adapters, error))
        return Fail(kExitNetwork, error);
    std::vector<std::vector<std::string>> rows;
    for (const Adapter& adapter : adapters) {
        if (!adapter.loopback || invocation.loopback)
            rows.push_back({SafeText(adapter.name), FormatIPv4(adapter.address), FormatIPv4(adapter.mask)});
    }
    WriteOutput(FormatTable({"name", "address", "mask"}, rows));
    return kExitOk;
}
