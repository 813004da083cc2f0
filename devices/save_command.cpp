// Save: the panel's settings go to the chosen device, and the device's
// answer is shown once it comes. The reply intake hands every apply reply
// here; the box opens after the receive notification has returned.
#include "apply_reply.h"
#include "device_commands.h"
#include "device_keys.h"
#include "message_box.h"
#include "seekwell_dlg.h"

void CSeekwellDlg::OnClickSave()
{
    if (selectedRow < 0) {
        AfxMessageBox("Not Selected", MB_OK);
        return;
    }
    CommandCredentials credentials;
    if (!ReadCommandCredentials(credentials) || !SendEndpointReady())
        return;
    DISCOVERY_DATA stored;
    if (!deviceTable.GetAt(static_cast<std::uint32_t>(selectedRow), &stored))
        return;
    const PanelSettings panel = {panelAddressMode,
                                 ipAddressEdit.GetWindowText(),
                                 subnetMaskEdit.GetWindowText(),
                                 gatewayEdit.GetWindowText(),
                                 dnsEdit.GetWindowText(),
                                 panelWebPort,
                                 panelControlPort,
                                 panelVideoPort,
                                 panelAudioTransmitPort,
                                 panelAudioReceivePort,
                                 panelHttpsEnabled};
    const DISCOVERY_DATA record = BuildSaveRecord(stored, panel, credentials.userId, credentials.password);
    pendingApplyMac = selectedMac;
    // The table holds what was sent; the row keeps the search's texts.
    deviceTable.SetAt(static_cast<std::uint32_t>(selectedRow), record);
    deviceKeys->Replace(stored, record);
    if (!BroadcastRecord(*sendSocket, record))
        AfxMessageBox("Failed. The settings could not be sent.", MB_OK);
}

void CSeekwellDlg::OnApplyReply(const DISCOVERY_DATA& record)
{
    const char* text = TakeApplyReply(pendingApplyMac, record);
    if (!text)
        return;
    // Should the post fail (a full queue), the result waits for the next.
    applyResults.push_back(text);
    PostMessage(WM_SHOW_APPLY_RESULT);
}

LRESULT CSeekwellDlg::OnShowApplyResult()
{
    if (applyResults.empty())
        return 0;
    const std::string text = applyResults.front();
    applyResults.pop_front();
    AfxMessageBox(text.c_str(), MB_OK);
    return 0;
}
