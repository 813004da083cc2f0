// What the component removal ends, unregisters and deletes, in which
// order, and what it traces for each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer_paths.h"
#include "viewer_removal_order.h"
#include "viewer_traces.h"

namespace {

TEST(ViewerRemovalOrder, UnregistersTenControlsInOrderWithTheirTraces)
{
    const char* const expected[] = {
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
    ASSERT_EQ(kViewerControls.size(), std::size(expected));
    for (std::size_t i = 0; i < kViewerControls.size(); ++i) {
        SCOPED_TRACE(expected[i]);
        EXPECT_STREQ(kViewerControls[i], expected[i]);
        EXPECT_EQ(UnregisterCommandLine(kViewerControls[i]), std::string("regsvr32 /s /u ") + expected[i]);
        EXPECT_EQ(UnregisterStartedTrace(kViewerControls[i]),
                  std::string("Registry Delete : ") + expected[i] + " [ Success ]");
    }
}

TEST(ViewerRemovalOrder, DeletesFourteenFilesInOrderWithTheirTraces)
{
    // The upload components stand the other way round here, and four
    // libraries are deleted without having been unregistered.
    const char* const expected[] = {
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
    ASSERT_EQ(kViewerFiles.size(), std::size(expected));
    for (std::size_t i = 0; i < kViewerFiles.size(); ++i) {
        SCOPED_TRACE(expected[i]);
        const std::string file = expected[i];
        EXPECT_EQ(kViewerFiles[i], file);
        EXPECT_EQ(FileDeletedTrace(file), "File Delete : " + file + " [ Success ]");
        EXPECT_EQ(FileDeleteFailedTrace(file), "File Delete : " + file + " [ Fail ] ");
        EXPECT_EQ(FileMissingTrace(file), "File Not Exist : " + file);
        EXPECT_EQ(SystemFilePath("C:\\windows\\system32", file), "C:\\windows\\system32\\" + file);
    }
}

TEST(ViewerRemovalOrder, TwoProcessPasses)
{
    EXPECT_STREQ(kViewerProcessNames[0], "iexplore.exe");
    EXPECT_STREQ(kViewerProcessNames[1], "IEXPLORE.EXE");
}

// A pass that could not look at the processes may leave a browser holding
// the components: nothing is unregistered or deleted then, and the second
// pass runs all the same.
TEST(ViewerRemovalOrder, RemovalGoesOnOnlyAfterBothProcessPasses)
{
    struct Case {
        bool firstPass;
        bool secondPass;
        std::vector<std::string> steps;
        std::string outcome;
    };
    const Case cases[] = {
        {true, true, {"close iexplore.exe", "close IEXPLORE.EXE", "unregister", "delete"}, "Completed!"},
        {false, true, {"close iexplore.exe", "close IEXPLORE.EXE"}, "Process has shutdown failed."},
        {true, false, {"close iexplore.exe", "close IEXPLORE.EXE"}, "Process has shutdown failed."},
        {false, false, {"close iexplore.exe", "close IEXPLORE.EXE"}, "Process has shutdown failed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstPass << c.secondPass);
        std::vector<std::string> steps;
        const std::string outcome = RunViewerRemoval({
            [&](const char* name) {
                steps.push_back(std::string("close ") + name);
                return steps.size() == 1 ? c.firstPass : c.secondPass;
            },
            [&] { steps.push_back("unregister"); },
            [&] { steps.push_back("delete"); },
        });
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(outcome, c.outcome);
    }
}

}  // namespace
