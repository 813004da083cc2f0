#include "wnd.h"

#include <vector>

std::string CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    return std::string(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner)
        owner = ::GetParent(m_hWnd);

    RECT work;
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        ::SetRect(&work, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    RECT center = work;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &center);

    RECT own;
    ::GetWindowRect(m_hWnd, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = (center.left + center.right) / 2 - width / 2;
    int top = (center.top + center.bottom) / 2 - height / 2;
    // Keep the whole window on the work area.
    if (left + width > work.right)
        left = work.right - width;
    if (left < work.left)
        left = work.left;
    if (top + height > work.bottom)
        top = work.bottom - height;
    if (top < work.top)
        top = work.top;
    ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    const BOOL destroyed = ::DestroyWindow(m_hWnd);
    if (destroyed)
        m_hWnd = nullptr;
    return destroyed;
}
