#include "wait_dialog.h"

BOOL CModalDlg::PreTranslateMessage(MSG* msg)
{
    // Only the keys: a timer, a click or any other message that happens to
    // carry 13 or 27 goes on as usual.
    const bool keyMessage = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    if (keyMessage && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}
