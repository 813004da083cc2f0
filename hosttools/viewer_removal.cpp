// Removal of the web-viewer components from the operator's computer: after
// a confirmation, Internet Explorer is ended, the components unregistered
// and their files deleted.
#include "code_page_text.h"
#include "message_box.h"
#include "seekwell_dlg.h"
#include "viewer_removal_order.h"
#include "viewer_steps.h"
#include "viewer_texts.h"

namespace {

// The Korean confirmation goes through the wide interface, so it reads right
// on every system, not only where the ANSI code page is 949. A system
// without that code page's table gets the English text instead.
bool ConfirmRemoval(HWND owner)
{
    const auto text = WideFromCodePage(VIEWER_CONFIRMATION_CODE_PAGE, kViewerConfirmationCp949);
    const auto caption = WideFromCodePage(VIEWER_CONFIRMATION_CODE_PAGE, kViewerConfirmationCaption);
    if (text && caption)
        return ::MessageBoxW(owner, text->c_str(), caption->c_str(), MB_OKCANCEL) == IDOK;
    return ::MessageBoxA(owner, kViewerConfirmationFallback, kViewerConfirmationCaption, MB_OKCANCEL) == IDOK;
}

}  // namespace

void CSeekwellDlg::OnClickUninstall()
{
    // Closing the box, or a box that could not be shown, is no consent.
    if (!ConfirmRemoval(m_hWnd))
        return;

    statusText = RunViewerRemoval({CloseProcessesWithModule, UnregisterViewerControls, DeleteViewerFiles});
    UpdateData(FALSE);
    AfxMessageBox(RemovalDoneBoxText(statusText).c_str(), MB_OK);
}
