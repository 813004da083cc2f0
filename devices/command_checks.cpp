// What Save, Reboot and Factory Reset check before anything is sent: the
// panel's values, the credentials and the send endpoint.
#include "device_commands.h"
#include "message_box.h"
#include "seekwell_dlg.h"

bool CSeekwellDlg::ReadCommandCredentials(CommandCredentials& credentials)
{
    // A port box without a number has been reported by the exchange, and
    // the members may be half read: nothing goes out.
    if (!UpdateData(TRUE))
        return false;
    credentials = {userIdEdit.GetWindowText(), passwordEdit.GetWindowText()};
    if (CredentialsMissing(credentials.userId, credentials.password)) {
        AfxMessageBox("Check the \"User ID\" and \"Password\"", MB_OK);
        return false;
    }
    return true;
}

// The last search could not bind to the chosen adapter, or there was none:
// there is nothing to send through.
bool CSeekwellDlg::SendEndpointReady()
{
    if (sendSocket && sendSocket->m_hSocket != INVALID_SOCKET)
        return true;
    AfxMessageBox(
        "Nothing was sent: no network adapter is open for sending.\n"
        "Choose an adapter and press \"Search\" first.",
        MB_OK);
    return false;
}
