// CWnd: a window handle with the Win32 calls the program makes on it. It
// owns nothing; the window's life is the window manager's.
#pragma once

#include <windows.h>

#include <string>

#include "message_map.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    virtual ~CWnd() = default;

    void Attach(HWND hwnd) { m_hWnd = hwnd; }

    CWnd GetDlgItem(int id) const { return CWnd(::GetDlgItem(m_hWnd, id)); }
    std::string GetWindowText() const;
    int GetWindowText(char* buffer, int size) const { return ::GetWindowTextA(m_hWnd, buffer, size); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, BOOL big)
    {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }

    // Centres the window over its owner, or over the work area of the screen
    // when the owner is hidden or minimised (or there is none).
    void CenterWindow(CWnd* alternateOwner = nullptr);

    virtual BOOL DestroyWindow();

    HWND m_hWnd = nullptr;
};
