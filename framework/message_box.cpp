#include "message_box.h"

#include <string>

#include "ansi_lead_byte.h"
#include "app_title.h"
#include "win_app.h"
#include "wnd.h"

namespace {

UINT WithDefaultIcon(UINT type)
{
    if (type & MB_ICONMASK)
        return type;
    switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            return type | MB_ICONEXCLAMATION;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return type | MB_ICONQUESTION;
        default:
            return type;
    }
}

std::string ModuleTitle()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    return AppTitleFromModulePath(std::string(path, length < sizeof path ? length : 0), IsAnsiLeadByte);
}

}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT)
{
    // Owned by the main window when there is one, so the box is modal to it.
    const CWnd* main = AfxGetMainWnd();
    const HWND owner = main && ::IsWindow(main->m_hWnd) ? main->m_hWnd : nullptr;
    return ::MessageBoxA(owner, text, ModuleTitle().c_str(), WithDefaultIcon(type));
}

int AfxMessageBox(UINT textId, UINT type, UINT helpId)
{
    char text[512] = {};
    ::LoadStringA(AfxGetInstanceHandle(), textId, text, sizeof text);
    return AfxMessageBox(text, type, helpId);
}
