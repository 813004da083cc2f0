// The adapter box: every adapter with an IPv4 address, filled once at
// start-up. Each entry's item data points into the adapter buffer, which
// therefore lives as long as the program.
#include <winsock2.h>
#include <iphlpapi.h>

#include "adapter_entry.h"
#include "seekwell_dlg.h"

namespace {
IP_ADAPTER_ADDRESSES* adapterAddresses = nullptr;
}

void CSeekwellDlg::FillAdapterList()
{
    ULONG size = 15000;
    ULONG outcome = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && outcome == ERROR_BUFFER_OVERFLOW; ++attempt) {
        adapterAddresses = static_cast<IP_ADAPTER_ADDRESSES*>(::HeapAlloc(::GetProcessHeap(), 0, size));
        if (!adapterAddresses)
            return;
        outcome = ::GetAdaptersAddresses(AF_INET, GAA_FLAG_INCLUDE_PREFIX, nullptr, adapterAddresses, &size);
        if (outcome == ERROR_BUFFER_OVERFLOW) {
            ::HeapFree(::GetProcessHeap(), 0, adapterAddresses);
            adapterAddresses = nullptr;
        }
    }

    if (outcome == NO_ERROR) {
        for (IP_ADAPTER_ADDRESSES* adapter = adapterAddresses; adapter; adapter = adapter->Next) {
            const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
            if (!unicast || !unicast->Address.lpSockaddr)
                continue;
            const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
            const std::string text = AdapterEntryText(adapter->FriendlyName, ::inet_ntoa(address->sin_addr));
            const int index = adapterCombo.AddString(text.c_str());
            if (index >= 0)
                adapterCombo.SetItemData(index, reinterpret_cast<DWORD_PTR>(adapter));
        }
    }
    if (adapterCombo.GetCount() > 0)
        adapterCombo.SetCurSel(0);
}

void CSeekwellDlg::OnSelChangeAdapter()
{
    // The next search binds to the new choice.
}

std::string CSeekwellDlg::ChosenAdapterAddress()
{
    const int selection = adapterCombo.GetCurSel();
    if (selection == CB_ERR)
        return {};
    const DWORD_PTR data = adapterCombo.GetItemData(selection);
    const auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(data);
    if (!adapter || data == static_cast<DWORD_PTR>(CB_ERR) || !adapter->FirstUnicastAddress ||
        !adapter->FirstUnicastAddress->Address.lpSockaddr)
        return {};
    const auto* address = reinterpret_cast<const sockaddr_in*>(adapter->FirstUnicastAddress->Address.lpSockaddr);
    return ::inet_ntoa(address->sin_addr);
}
