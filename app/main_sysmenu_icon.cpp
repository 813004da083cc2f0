// The main window's system menu, whose about entry opens the about box, and
// its icon when minimised: painted in the middle, and dragged.
#include "about_dlg.h"

#include "seekwell_dlg.h"

void CSeekwellDlg::OnSysCommand(UINT id, LPARAM param)
{
    // The low four bits of a system command are the system's own.
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    ::DefWindowProcA(m_hWnd, WM_SYSCOMMAND, id, param);
}

void CSeekwellDlg::OnPaint()
{
    if (!IsIconic()) {
        ::DefWindowProcA(m_hWnd, WM_PAINT, 0, 0);
        return;
    }
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(dc, x, y, appIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CSeekwellDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(appIcon);
}
