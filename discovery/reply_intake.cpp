// Every datagram that reaches the receive endpoint: search replies become
// rows while a search runs, and the answer to the last Save is shown.
#include <cstring>

#include "apply_reply.h"
#include "message_box.h"
#include "program_state.h"
#include "seekwell_dlg.h"

namespace {

bool DatagramWaiting(CSocket& socket)
{
    u_long waiting = 0;
    return socket.IOCtl(FIONREAD, &waiting) && waiting > 0;
}

}  // namespace

LRESULT CSeekwellDlg::OnUdpReceive()
{
    if (!recvSocket)
        return 0;
    // A datagram shorter than a record leaves the rest of it zero: its
    // missing texts read empty and its missing numbers 0.
    DISCOVERY_DATA record;
    std::memset(&record, 0, sizeof record);
    std::string sender;
    UINT senderPort = 0;
    const int received = recvSocket->ReceiveFrom(&record, sizeof record, sender, senderPort);
    if (received != SOCKET_ERROR && received != 0) {
        switch (record.command) {
            case DISCOVERY_CMD_SEARCH_REPLY:
                // The row follows the record into the table, or neither goes in.
                if (searchInProgress && !IsDuplicate(record) && deviceTable.AddTail(record)) {
                    deviceKeys.Add(record);
                    // Painting each row of a burst as it comes would keep the
                    // window busy long after the burst; they are drawn together.
                    if (!listRedrawDeferred && DatagramWaiting(*recvSocket)) {
                        deviceList.SetRedraw(FALSE);
                        listRedrawDeferred = true;
                    }
                    AddDeviceRow(record);
                }
                break;
            case DISCOVERY_CMD_SET_CONFIG:
                if (const char* text = TakeApplyReply(pendingApplyMac, record))
                    AfxMessageBox(text, MB_OK);
                break;
            default:
                break;
        }
    }
    if (listRedrawDeferred && !DatagramWaiting(*recvSocket)) {
        deviceList.SetRedraw(TRUE);
        ::InvalidateRect(deviceList.m_hWnd, nullptr, TRUE);
        listRedrawDeferred = false;
    }
    return 0;
}
