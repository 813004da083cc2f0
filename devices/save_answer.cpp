// The device's answer to a Save. The reply intake hands every apply reply
// here; the awaited one is shown once the notification has returned.
#include "apply_reply.h"
#include "message_box.h"
#include "seekwell_dlg.h"

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
