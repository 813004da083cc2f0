// Every datagram that reaches the receive endpoint is read here and handed
// to the feature it answers: a search reply to the search, an apply reply to
// Save. Nothing on this path opens a box or runs a modal loop: the
// notification would then be entered again while it is still on the stack.
#include <optional>

#include "datagram.h"
#include "device_keys.h"
#include "seekwell_dlg.h"

LRESULT CSeekwellDlg::OnUdpReceive()
{
    if (!recvSocket)
        return 0;
    unsigned char datagram[DISCOVERY_DATA_SIZE];
    std::string sender;
    UINT senderPort = 0;
    const int received = recvSocket->ReceiveFrom(datagram, sizeof datagram, sender, senderPort);
    const std::optional<DISCOVERY_DATA> record =
        received == SOCKET_ERROR ? std::nullopt : RecordFromDatagram(datagram, static_cast<std::size_t>(received));
    if (record) {
        switch (FeatureOfDatagram(*record)) {
            case DatagramFeature::SearchReply:
                OnSearchReply(*record);
                break;
            case DatagramFeature::ApplyReply:
                OnApplyReply(*record);
                break;
            case DatagramFeature::None:
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

// Asked of the index of (MAC, IP) keys kept beside the table, so that a
// reply costs the same however many devices are listed.
bool CSeekwellDlg::IsDuplicate(DISCOVERY_DATA record)
{
    return deviceKeys->Contains(record);
}
