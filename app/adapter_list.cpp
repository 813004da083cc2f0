// The adapter box: the first address of every adapter with an IPv4 address
// (FirstAddressOfEveryAdapter), filled once at start-up. Each entry's item
// data points to its address in the adapter table, which therefore lives as
// long as the program.
#include "adapter_entry.h"
#include "adapter_rules.h"
#include "ipv4_text.h"
#include "network_adapters.h"
#include "seekwell_dlg.h"

namespace {
std::vector<NetworkAdapter> adapterAddresses;
}

void CSeekwellDlg::FillAdapterList()
{
    // A table the system could not give leaves the box empty, unexplained:
    // the search says that no adapter is chosen.
    std::string error;
    if (ReadNetworkAdapters(adapterAddresses, error)) {
        for (const ListedAddress& listed : FirstAddressOfEveryAdapter(adapterAddresses)) {
            const NetworkAdapter& adapter = adapterAddresses[listed.adapter];
            const AdapterIPv4& address = adapter.addresses[listed.address];
            const std::string text = AdapterEntryText(adapter.name, FormatIPv4(address.address));
            const int index = adapterCombo.AddString(text.c_str());
            if (index >= 0)
                adapterCombo.SetItemData(index, reinterpret_cast<DWORD_PTR>(&address));
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
    if (data == 0 || data == static_cast<DWORD_PTR>(CB_ERR))
        return {};
    return FormatIPv4(reinterpret_cast<const AdapterIPv4*>(data)->address);
}
