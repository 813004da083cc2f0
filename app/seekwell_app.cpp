#include "seekwell_app.h"

#include "seekwell_dlg.h"
#include "socket.h"

// The one application object; the framework finds it at start-up.
CSeekwellApp theApp;

BOOL CSeekwellApp::InitInstance()
{
    if (!AfxSocketInit())
        return FALSE;

    CSeekwellDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    // Returning false ends the program instead of running a message loop.
    return FALSE;
}
