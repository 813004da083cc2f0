#include "wait_dialog.h"

BOOL CModalDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}
