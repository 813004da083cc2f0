// The adapters on Windows: GetAdaptersAddresses, as the window's adapter box.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include "adapters.h"

namespace {

// An adapter's friendly name in the ANSI code page.
std::string AnsiName(const wchar_t* name)
{
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};
    std::string text(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, name, -1, text.data(), bytes, nullptr, nullptr);
    text.pop_back();
    return text;
}

}  // namespace

bool ListAdapters(std::vector<Adapter>& adapters, std::string& error)
{
    std::vector<unsigned char> buffer(15000);
    ULONG size = static_cast<ULONG>(buffer.size());
    ULONG outcome = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && outcome == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        outcome =
            ::GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                   nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    adapters.clear();
    if (outcome == ERROR_NO_DATA)
        return true;
    if (outcome != NO_ERROR) {
        error = "cannot list the network adapters: error " + std::to_string(outcome);
        return false;
    }
    for (const auto* entry = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); entry; entry = entry->Next) {
        if (entry->OperStatus != IfOperStatusUp)
            continue;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = entry->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET)
                continue;
            Adapter adapter;
            adapter.name = AnsiName(entry->FriendlyName ? entry->FriendlyName : L"");
            adapter.address = ::ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
            const unsigned prefix = unicast->OnLinkPrefixLength;
            adapter.mask = prefix == 0 ? 0 : prefix >= 32 ? 0xFFFFFFFFu : ~0u << (32 - prefix);
            adapter.index = entry->IfIndex;
            adapter.loopback = entry->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
            adapters.push_back(adapter);
        }
    }
    return true;
}
