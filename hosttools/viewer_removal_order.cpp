#include "viewer_removal_order.h"

#include "viewer_texts.h"

const std::array<const char*, 2> kViewerProcessNames = {"iexplore.exe", "IEXPLORE.EXE"};

const std::array<const char*, 10> kViewerControls = {
    "KorvoViewer3.ocx",
    "KorvoViewer2.ocx",
    "KorvoViewer3_FileUpload.ocx",
    "KorvoViewer2_FileUpload.ocx",
    "PadSteer.ocx",
    "SiteChart.ocx",
    "SlideRail.ocx",
    "SiteChart3.ocx",
    "GlyphKey.ocx",
    "MSFLXGRD.OCX",
};

const std::array<const char*, 14> kViewerFiles = {
    "KorvoViewer3.ocx",
    "KorvoViewer2.ocx",
    "KorvoViewer2_FileUpload.ocx",
    "KorvoViewer3_FileUpload.ocx",
    "PadSteer.ocx",
    "SiteChart.ocx",
    "SlideRail.ocx",
    "SiteChart3.ocx",
    "GlyphKey.ocx",
    "FrameDecoder.dll",
    "MSFLXGRD.OCX",
    "ijl11.dll",
    "VB6STKIT.DLL",
    "LinkWatch.dll",
};

std::string UnregisterCommandLine(std::string_view control)
{
    return std::string("regsvr32 /s /u ").append(control);
}

std::string RunViewerRemoval(const ViewerRemovalSteps& steps)
{
    const bool firstPass = steps.closeProcesses(kViewerProcessNames[0]);
    const bool secondPass = steps.closeProcesses(kViewerProcessNames[1]);
    const bool passesDone = firstPass && secondPass;
    if (passesDone) {
        steps.unregisterControls();
        steps.deleteFiles();
    }
    return RemovalOutcome(passesDone);
}
