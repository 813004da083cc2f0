// Unregistering the viewer components with the system's regsvr32.
#include "debug_trace.h"
#include "viewer_paths.h"
#include "viewer_removal_order.h"
#include "viewer_steps.h"
#include "viewer_traces.h"
#include "windows_host.h"

namespace {

void ReportExecFailure(const std::string& controlName, UINT code)
{
    if (const auto trace = ExecFailureTrace(controlName, code))
        DebugTrace("%s", trace->c_str());
}

}  // namespace

void UnregisterViewerControls()
{
    const SystemDirectoryCheck system = ReadSystemDirectory();
    const auto regsvr32 = system.directory ? SystemFilePath(*system.directory, REGSVR32_FILE) : std::nullopt;
    // Each regsvr32 is waited for, a while at most, so that its component's
    // file is neither gone before it is unregistered nor still held when it
    // is deleted. Its own result is not looked at.
    for (const char* control : kViewerControls) {
        if (regsvr32 && StartProgram(*regsvr32, UnregisterCommandLine(control), nullptr, REGSVR32_WAIT_MS)) {
            DebugTrace("%s", UnregisterStartedTrace(control).c_str());
            continue;
        }
        const DWORD error = regsvr32 ? ::GetLastError() : ERROR_PATH_NOT_FOUND;
        ReportExecFailure(control, StartFailureCode(error));
    }
}
