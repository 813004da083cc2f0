// adapters: what --adapter can name.
#include "adapters.h"
#include "args.h"
#include "exit_codes.h"
#include "ipv4_text.h"
#include "messages.h"
#include "safe_text.h"
#include "standard_output.h"
#include "table.h"

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
