// CDialog: a dialog from a template in the program's resources, modal (made
// modeless under a disabled owner, with this class's own message loop, so
// that PreTranslateMessage applies to every window of the thread) or
// modeless. Its dialog procedure tries the message map, then the standard
// OK and Cancel handling, and alone sets the procedure's result.
#pragma once

#include <windows.h>

#include "wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    INT_PTR DoModal();
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void OnOK();
    virtual void OnCancel();

    // The framework object of a window made by this class, or null.
    static CDialog* FromHandle(HWND hwnd);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    HWND CreateFromTemplate(HWND owner);
    void ExecuteDlgInit();
    static bool PreTranslateInChain(MSG* msg);

    UINT m_templateId;
    CWnd* m_parent;
    bool m_endModal = false;
    INT_PTR m_modalResult = -1;
};
