// Unregistering the viewer components with the system's regsvr32.
#include "debug_trace.h"
#include "seekwell_dlg.h"
#include "viewer_components.h"

bool CSeekwellDlg::UnregisterViewerControls()
{
    // regsvr32 is not waited for: its result is its own, and the next
    // command and the deletion of the files follow at once.
    for (const char* control : kViewerControls) {
        const UINT result = ::WinExec(UnregisterCommandLine(control).c_str(), SW_SHOW);
        if (CommandStarted(result))
            DebugTrace("%s", UnregisterStartedTrace(control).c_str());
        else
            ReportExecFailure(control, result);
    }
    return true;
}

void CSeekwellDlg::ReportExecFailure(std::string controlName, UINT code)
{
    if (const auto trace = ExecFailureTrace(controlName, code))
        DebugTrace("%s", trace->c_str());
}
