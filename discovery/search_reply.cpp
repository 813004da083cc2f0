// A search reply becomes a row while a search runs, unless it repeats a
// listed device. The rows of a burst of replies are drawn together.
#include "device_keys.h"
#include "seekwell_dlg.h"

void CSeekwellDlg::OnSearchReply(const DISCOVERY_DATA& record)
{
    // The row follows the record into the table, or neither goes in.
    if (!searchInProgress || IsDuplicate(record) || !deviceTable.AddTail(record))
        return;
    deviceKeys->Add(record);
    // Painting each row of a burst as it comes would keep the window busy
    // long after the burst; they are drawn together.
    if (!listRedrawDeferred && ReplyWaiting()) {
        deviceList.SetRedraw(FALSE);
        listRedrawDeferred = true;
    }
    AddDeviceRow(record);
}

void CSeekwellDlg::EndReplyBurst()
{
    if (!listRedrawDeferred || ReplyWaiting())
        return;
    deviceList.SetRedraw(TRUE);
    ::InvalidateRect(deviceList.m_hWnd, nullptr, TRUE);
    listRedrawDeferred = false;
}
