// CWinApp: the one application object. The framework's WinMain finds it,
// readies the common controls and calls InitInstance, which does the whole
// run; there is no message loop of the application's own.
#pragma once

#include <windows.h>

#include "message_map.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance() { return FALSE; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
CWnd* AfxGetMainWnd();

// What a Win32 callback does with an exception it must not let through.
void AfxReportUnexpectedException() noexcept;
