#include "data_exchange.h"

#include <cstdio>

#include "dialog.h"
#include "framework_resource.h"
#include "message_box.h"
#include "scan_long.h"

void CDataExchange::Fail(HWND control)
{
    m_failed = true;
    ::SetFocus(control);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (dx->Failed() || control.m_hWnd)
        return;
    control.Attach(::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id));
}

void DDX_Text(CDataExchange* dx, int id, long& value)
{
    if (dx->Failed())
        return;
    const HWND control = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!dx->m_bSaveAndValidate) {
        char text[16];
        std::snprintf(text, sizeof text, "%ld", value);
        ::SetWindowTextA(control, text);
        return;
    }
    // All of the text: whatever stands after the number makes it no number.
    if (const auto number = ScanLong(CWnd(control).GetWindowText())) {
        value = *number;
        return;
    }
    AfxMessageBox(AFX_IDP_PARSE_INT);
    dx->Fail(control);
}

void DDX_Radio(CDataExchange* dx, int firstId, int& value)
{
    if (dx->Failed())
        return;
    const HWND first = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, firstId);
    if (dx->m_bSaveAndValidate)
        value = -1;
    // The group runs from its first button to the next control that starts a
    // group; only radio buttons count.
    int index = 0;
    for (HWND button = first; button; button = ::GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (::GetWindowLongA(button, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}
