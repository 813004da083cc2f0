// Every datagram that reaches the receive endpoint is read here and handed
// to the feature it answers: a search reply to the search, an apply reply to
// Save. Nothing on this path opens a box or runs a modal loop: the
// notification would then be entered again while it is still on the stack.
#include <cstring>

#include "seekwell_dlg.h"

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
                OnSearchReply(record);
                break;
            case DISCOVERY_CMD_SET_CONFIG:
                OnApplyReply(record);
                break;
            default:
                break;
        }
    }
    EndReplyBurst();
    return 0;
}

bool CSeekwellDlg::ReplyWaiting()
{
    u_long waiting = 0;
    return recvSocket && recvSocket->IOCtl(FIONREAD, &waiting) && waiting > 0;
}
