// Save sends the panel's settings to the chosen device; Reboot and Factory
// Reset go to every ticked device after the operator confirmed the list.
#include "device_commands.h"
#include "message_box.h"
#include "seekwell_dlg.h"

static_assert(CONFIRMATION_YES == IDYES, "the confirmation's Yes is the box's IDYES");

namespace {

// What the operator is told when there is nothing to send through: the last
// search could not bind to the chosen adapter, or there was none.
constexpr char kNoEndpointText[] =
    "Nothing was sent: no network adapter is open for sending.\n"
    "Choose an adapter and press \"Search\" first.";

}  // namespace

void CSeekwellDlg::OnClickSave()
{
    SendDeviceCommand(DISCOVERY_CMD_SET_CONFIG);
}

void CSeekwellDlg::OnClickReboot()
{
    SendDeviceCommand(DISCOVERY_CMD_REBOOT);
}

void CSeekwellDlg::OnClickFactoryReset()
{
    SendDeviceCommand(DISCOVERY_CMD_FACTORY_RESET);
}

void CSeekwellDlg::SendDeviceCommand(int type)
{
    const auto command = static_cast<std::uint32_t>(type);
    if (command == DISCOVERY_CMD_SET_CONFIG && selectedRow < 0) {
        AfxMessageBox("Not Selected", MB_OK);
        return;
    }
    // A port box without a number has been reported by the exchange, and
    // the members may be half read: nothing goes out.
    if (!UpdateData(TRUE))
        return;
    const std::string userId = userIdEdit.GetWindowText();
    const std::string password = passwordEdit.GetWindowText();
    if (CredentialsMissing(userId, password)) {
        AfxMessageBox("Check the \"User ID\" and \"Password\"", MB_OK);
        return;
    }
    const bool canSend = sendSocket && sendSocket->m_hSocket != INVALID_SOCKET;

    if (command == DISCOVERY_CMD_SET_CONFIG) {
        if (!canSend) {
            AfxMessageBox(kNoEndpointText, MB_OK);
            return;
        }
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
        const DISCOVERY_DATA record = BuildSaveRecord(stored, panel, userId, password);
        pendingApplyMac = selectedMac;
        // The table holds what was sent; the row keeps the search's texts.
        deviceTable.SetAt(static_cast<std::uint32_t>(selectedRow), record);
        deviceKeys.Replace(stored, record);
        if (!BroadcastRecord(*sendSocket, record))
            AfxMessageBox("Failed. The settings could not be sent.", MB_OK);
        return;
    }

    const int rows = deviceList.GetItemCount();
    std::string confirmation = BatchConfirmationHeader(command);
    int ticked = 0;
    for (int i = 0; i < rows; ++i) {
        DISCOVERY_DATA stored;
        if (deviceList.GetCheck(i) && deviceTable.GetAt(static_cast<std::uint32_t>(i), &stored)) {
            ++ticked;
            confirmation += BatchConfirmationLine(stored);
        }
    }
    if (ticked == 0) {
        AfxMessageBox("Not Checked", MB_OK);
        return;
    }
    if (!canSend) {
        AfxMessageBox(kNoEndpointText, MB_OK);
        return;
    }
    if (!BatchConfirmed(AfxMessageBox(confirmation.c_str(), MB_YESNO)))
        return;

    int unsent = 0;
    for (int k = 0; k < rows; ++k) {
        DISCOVERY_DATA stored;
        if (!deviceList.GetCheck(k) || !deviceTable.GetAt(static_cast<std::uint32_t>(k), &stored))
            continue;
        if (!BroadcastRecord(*sendSocket, BuildBatchRecord(stored, command, userId, password)))
            ++unsent;
        ::Sleep(10);
    }
    if (unsent == 0) {
        AfxMessageBox("Apply", MB_OK);
    } else {
        const std::string text =
            "Failed. " + std::to_string(unsent) + " of " + std::to_string(ticked) + " commands could not be sent.";
        AfxMessageBox(text.c_str(), MB_OK);
    }
}
