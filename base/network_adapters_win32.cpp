// The adapters on Windows: one GetAdaptersAddresses walk for the window's
// adapter box and for nwctl.exe, so that both start from the same table.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>

#include "network_adapters.h"
#include "subnet.h"

namespace {

// An adapter's friendly name in the ANSI code page, the program's text.
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

bool ReadNetworkAdapters(std::vector<NetworkAdapter>& adapters, std::string& error)
{
    // The call names the size it needs when the buffer is too small; an
    // adapter that appears in between may ask for more once again.
    std::vector<unsigned char> buffer(15000);
    ULONG size = static_cast<ULONG>(buffer.size());
    ULONG outcome = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && outcome == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        outcome = ::GetAdaptersAddresses(AF_INET, GAA_FLAG_INCLUDE_PREFIX, nullptr,
                                         reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    adapters.clear();
    if (outcome == ERROR_NO_DATA)
        return true;
    if (outcome != NO_ERROR) {
        error = "cannot list the network adapters: error " + std::to_string(outcome);
        return false;
    }
    for (const auto* entry = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); entry; entry = entry->Next) {
        NetworkAdapter adapter;
        adapter.name = AnsiName(entry->FriendlyName ? entry->FriendlyName : L"");
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = entry->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET)
                continue;
            adapter.addresses.push_back({::ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr),
                                         PrefixMask(std::min<int>(unicast->OnLinkPrefixLength, 32))});
        }
        adapter.up = entry->OperStatus == IfOperStatusUp;
        adapter.loopback = entry->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
        adapter.index = entry->IfIndex;
        adapter.hardware.assign(entry->PhysicalAddress, entry->PhysicalAddress + entry->PhysicalAddressLength);
        adapters.push_back(std::move(adapter));
    }
    return true;
}
