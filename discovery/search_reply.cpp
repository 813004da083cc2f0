// A search reply becomes a row while a search runs, unless it repeats a
// listed device. Rows are drawn together: once no datagram waits, or, while
// datagrams keep coming, a few times a second; and the list is drawn in
// bands, each in a message of its own, because a whole page of rows takes
// long enough to draw that the window would stop answering meanwhile.
#include "device_keys.h"
#include "seekwell_dlg.h"

namespace {

// The longest a new row may wait before its drawing starts during a flood of
// datagrams; the bands take up to about 100 ms more under a heavy flood, and
// the list should be drawn at least every quarter second.
constexpr DWORD kMaxUndrawnMs = 150;
// How many bands a page of the list is drawn in.
constexpr int kListBands = 4;

}  // namespace

void CSeekwellDlg::OnSearchReply(const DISCOVERY_DATA& record)
{
    // The row follows the record into the table, or neither goes in.
    if (!searchInProgress || IsDuplicate(record) || !deviceTable.AddTail(record))
        return;
    deviceKeys->Add(record);
    if (!listRedrawDeferred) {
        deviceList.SetRedraw(FALSE);
        listRedrawDeferred = true;
        listRedrawDeferredAt = ::GetTickCount();
    }
    AddDeviceRow(record);
}

void CSeekwellDlg::EndReplyBurst()
{
    if (!listRedrawDeferred)
        return;
    if (ReplyWaiting() && ::GetTickCount() - listRedrawDeferredAt < kMaxUndrawnMs)
        return;
    listRedrawDeferred = false;
    deviceList.SetRedraw(TRUE);
    // The list is drawn band by band below, not all at once.
    ::ValidateRect(deviceList.m_hWnd, nullptr);
    listBandsToDraw = kListBands;
    OnDrawListBand();
}

// Draws the next band now, rather than when the queue runs dry, which a
// flood never lets it do; the next band follows the messages already queued.
LRESULT CSeekwellDlg::OnDrawListBand()
{
    // Rows added meanwhile start the bands over once they are drawn.
    if (listBandsToDraw <= 0 || listRedrawDeferred)
        return 0;
    RECT client;
    if (!::GetClientRect(deviceList.m_hWnd, &client))
        return 0;
    const int band = kListBands - listBandsToDraw;
    const LONG height = client.bottom - client.top;
    RECT part = client;
    part.top = client.top + height * band / kListBands;
    part.bottom = client.top + height * (band + 1) / kListBands;
    ::InvalidateRect(deviceList.m_hWnd, &part, TRUE);
    ::UpdateWindow(deviceList.m_hWnd);
    if (--listBandsToDraw > 0 && !PostMessage(WM_DRAW_LIST_BAND)) {
        // Without the message the rest is drawn whenever the window is idle.
        ::InvalidateRect(deviceList.m_hWnd, nullptr, TRUE);
        listBandsToDraw = 0;
    }
    return 0;
}
