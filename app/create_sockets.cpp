// Making the two endpoints and the wait box while the window initialises.
#include "message_box.h"
#include "resource.h"
#include "seekwell_dlg.h"

void CSeekwellDlg::CreateSockets()
{
    bool failed = false;

    recvSocket = std::make_unique<CUDPSocket>();
    recvSocket->SetOwnerWindow(m_hWnd);
    if (!recvSocket->Create(DISCOVERY_REPLY_PORT, SOCK_DGRAM, SOCKET_ALL_EVENTS)) {
        AfxMessageBox("Error create socket!!!", MB_OK);
        recvSocket.reset();
        failed = true;
    }

    if (recvSocket) {
        const int bytes = DISCOVERY_RECEIVE_BUFFER_BYTES;
        recvSocket->SetSockOpt(SO_RCVBUF, &bytes, sizeof bytes);
    }

    // Made even after a failure above, so that both problems are reported.
    sendSocket = std::make_unique<CUDPSendSocket>();
    sendSocket->SetOwnerWindow(m_hWnd);
    if (!sendSocket->Create(DISCOVERY_DEVICE_PORT, SOCK_DGRAM, SOCKET_ALL_EVENTS)) {
        AfxMessageBox("Error create send socket!!!", MB_OK);
        sendSocket.reset();
        failed = true;
    }

    // The base class's destruction: what was made stays until the dialog's
    // own teardown.
    if (failed)
        CDialog::DestroyWindow();

    waitDialog = std::make_unique<CModalDlg>();
    waitDialog->Create(IDD_WAIT_DIALOG, this);
}
