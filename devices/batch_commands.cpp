// Reboot and Factory Reset go to every ticked device, one record each, once
// the operator has confirmed the list.
#include "device_commands.h"
#include "message_box.h"
#include "seekwell_dlg.h"

static_assert(CONFIRMATION_YES == IDYES, "the confirmation's Yes is the box's IDYES");

void CSeekwellDlg::OnClickReboot()
{
    SendBatchCommand(DISCOVERY_CMD_REBOOT);
}

void CSeekwellDlg::OnClickFactoryReset()
{
    SendBatchCommand(DISCOVERY_CMD_FACTORY_RESET);
}

void CSeekwellDlg::SendBatchCommand(std::uint32_t command)
{
    CommandCredentials credentials;
    if (!ReadCommandCredentials(credentials))
        return;
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
    if (!SendEndpointReady() || !BatchConfirmed(AfxMessageBox(confirmation.c_str(), MB_YESNO)))
        return;

    int unsent = 0;
    for (int k = 0; k < rows; ++k) {
        DISCOVERY_DATA stored;
        if (!deviceList.GetCheck(k) || !deviceTable.GetAt(static_cast<std::uint32_t>(k), &stored))
            continue;
        if (!BroadcastRecord(*sendSocket, BuildBatchRecord(stored, command, credentials.userId, credentials.password)))
            ++unsent;
        ::Sleep(10);
    }
    AfxMessageBox(BatchOutcomeText(unsent, ticked).c_str(), MB_OK);
}
