#include "dialog.h"

#include "data_exchange.h"
#include "win_app.h"

namespace {

// Resource type of a dialog's initialisation data: records of (WORD control
// id, WORD message, DWORD length, bytes), ended by a WORD 0.
const char* const RT_DLGINIT = MAKEINTRESOURCEA(240);

// Messages whose result a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

CDialog* CDialog::FromHandle(HWND hwnd)
{
    if (!hwnd || ::GetWindowLongPtrA(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&DialogProc))
        return nullptr;
    return reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
}

HWND CDialog::CreateFromTemplate(HWND owner)
{
    const HINSTANCE instance = AfxGetInstanceHandle();
    const HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(m_templateId), RT_DIALOG);
    const HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    const auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate)
        return nullptr;
    return ::CreateDialogIndirectParamA(instance, dialogTemplate, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_templateId = templateId;
    m_parent = parent;
    return CreateFromTemplate(parent ? parent->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    // A dialog without a parent is modal to the program's main window.
    HWND owner = m_parent ? m_parent->m_hWnd : nullptr;
    if (!owner) {
        const CWnd* main = AfxGetMainWnd();
        if (main && main != this && ::IsWindow(main->m_hWnd))
            owner = main->m_hWnd;
    }
    const bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);

    m_endModal = false;
    m_modalResult = -1;
    if (CreateFromTemplate(owner) && !m_endModal) {
        if (!::IsWindowVisible(m_hWnd))
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        MSG msg;
        while (!m_endModal) {
            const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
            if (got == -1)
                break;
            if (got == 0) {
                // Leave WM_QUIT for whatever loop runs outside this one.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (!PreTranslateInChain(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }

    if (disabledOwner)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (owner)
        ::SetActiveWindow(owner);
    DestroyWindow();
    return m_modalResult;
}

void CDialog::EndDialog(int result)
{
    m_modalResult = result;
    m_endModal = true;
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

BOOL CDialog::OnInitDialog()
{
    ExecuteDlgInit();
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

// Offers a queued message to the dialogs it is meant for: the dialog of the
// target control first, then the dialogs that contain it.
bool CDialog::PreTranslateInChain(MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (CDialog* dialog = FromHandle(hwnd); dialog && dialog->PreTranslateMessage(msg))
            return true;
        if (!(::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
}

void CDialog::ExecuteDlgInit()
{
    const HINSTANCE instance = AfxGetInstanceHandle();
    const HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(m_templateId), RT_DLGINIT);
    if (!resource)
        return;
    const HGLOBAL loaded = ::LoadResource(instance, resource);
    const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return;
    const DWORD size = ::SizeofResource(instance, resource);

    DWORD offset = 0;
    while (offset + sizeof(WORD) <= size) {
        WORD id;
        memcpy(&id, data + offset, sizeof id);
        if (id == 0 || offset + 2 * sizeof(WORD) + sizeof(DWORD) > size)
            break;
        WORD message;
        DWORD length;
        memcpy(&message, data + offset + 2, sizeof message);
        memcpy(&length, data + offset + 4, sizeof length);
        offset += 8;
        if (length > size - offset)
            break;
        const char* text = reinterpret_cast<const char*>(data + offset);
        // Only string-adding messages, and only text that ends inside its record.
        const bool adds = message == CB_ADDSTRING || message == LB_ADDSTRING;
        if (adds && length > 0 && text[length - 1] == '\0')
            ::SendDlgItemMessageA(m_hWnd, id, message, 0, reinterpret_cast<LPARAM>(text));
        offset += length;
    }
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    for (const MessageMapEntry& entry : GetMessageMap()) {
        if (entry.Matches(message, wParam, lParam)) {
            *result = entry.invoke(*this, wParam, lParam);
            return true;
        }
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            *result = 0;
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            *result = 0;
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        dialog->m_hWnd = hwnd;
    } else {
        dialog = FromHandle(hwnd);
    }
    if (!dialog)
        return FALSE;

    if (message == WM_NCDESTROY) {
        // Destroyed from anywhere: the object forgets the window and a modal
        // run ends.
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        dialog->m_endModal = true;
        // The loop may be waiting for a message: a window destroyed inside a
        // message sent from another thread leaves nothing in the queue.
        ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
        return FALSE;
    }

    LRESULT result = 0;
    try {
        if (message == WM_INITDIALOG)
            result = dialog->OnInitDialog();
        else if (!dialog->OnWndMsg(message, wParam, lParam, &result))
            return FALSE;
    } catch (...) {
        AfxReportUnexpectedException();
        return FALSE;
    }
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
