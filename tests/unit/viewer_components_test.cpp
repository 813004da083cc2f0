// What the component removal starts, deletes and traces, and where it
// refuses to delete.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "viewer_components.h"

namespace {

TEST(ViewerComponents, UnregistersTenControlsInOrderWithTheirTraces)
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

TEST(ViewerComponents, DeletesFourteenFilesInOrderWithTheirTraces)
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

TEST(ViewerComponents, ProcessPassesAndConfirmation)
{
    EXPECT_STREQ(kViewerProcessNames[0], "iexplore.exe");
    EXPECT_STREQ(kViewerProcessNames[1], "IEXPLORE.EXE");
    EXPECT_STREQ(kViewerConfirmationCaption, "UnInstall");
    EXPECT_EQ(VIEWER_CONFIRMATION_CODE_PAGE, 949u);
}

TEST(ViewerComponents, FailureTraceOnlyForCodesWithAText)
{
    struct Case {
        unsigned code;
        std::optional<std::string> trace;
    };
    const Case cases[] = {
        {0, "Contol Name < PadSteer.ocx > : The system is out of memory or resources."},
        {2, "Contol Name < PadSteer.ocx > : The specified file was not found."},
        {3, "Contol Name < PadSteer.ocx > : The specified path was not found."},
        {11, "Contol Name < PadSteer.ocx > : The .exe file is invalid."},
        {1, std::nullopt},
        {4, std::nullopt},
        {5, std::nullopt},
        {10, std::nullopt},
        {12, std::nullopt},
        {31, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(ExecFailureTrace("PadSteer.ocx", c.code), c.trace);
    }
}

TEST(ViewerComponents, StartErrorsTakeWinExecsCodes)
{
    struct Case {
        unsigned long error;
        unsigned code;
    };
    const Case cases[] = {
        {2, 2},      // ERROR_FILE_NOT_FOUND
        {3, 3},      // ERROR_PATH_NOT_FOUND
        {8, 0},      // ERROR_NOT_ENOUGH_MEMORY
        {14, 0},     // ERROR_OUTOFMEMORY
        {11, 11},    // ERROR_BAD_FORMAT
        {193, 11},   // ERROR_BAD_EXE_FORMAT
        {5, 5},      // ERROR_ACCESS_DENIED: no trace of its own
        {740, 740},  // ERROR_ELEVATION_REQUIRED: none either
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(StartFailureCode(c.error), c.code);
    }
    EXPECT_EQ(ExecFailureTrace("PadSteer.ocx", StartFailureCode(740)), std::nullopt);
}

// A pass that could not look at the processes may leave a browser holding
// the components: nothing is unregistered or deleted then, and the second
// pass runs all the same.
TEST(ViewerComponents, RemovalGoesOnOnlyAfterBothProcessPasses)
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

TEST(ViewerComponents, SystemDirectoryIsTakenOnlyWhenItNamesOneAbsolutely)
{
    struct Case {
        const char* name;
        std::string buffer;
        unsigned result;
        std::optional<std::string> directory;
        std::string refusal;
    };
    const std::string longest(259, 'd');
    const Case cases[] = {
        {"usual", "C:\\windows\\system32", 19, "C:\\windows\\system32", ""},
        {"network path", "\\\\host\\share\\system32", 21, "\\\\host\\share\\system32", ""},
        {"drive root", "D:\\", 3, "D:\\", ""},
        {"call failed", "", 0, std::nullopt, "System Directory : not available [ No File Deleted ]"},
        {"too long for the buffer", "", 300, std::nullopt,
         "System Directory : longer than 259 bytes [ No File Deleted ]"},
        {"one byte too long", "", 261, std::nullopt, "System Directory : longer than 259 bytes [ No File Deleted ]"},
        {"result disagrees with the text", "C:\\windows", 19, std::nullopt,
         "System Directory : not available [ No File Deleted ]"},
        {"relative", "windows\\system32", 16, std::nullopt,
         "System Directory : not an absolute path < windows\\system32 > [ No File Deleted ]"},
        {"rooted on the current drive", "\\windows", 8, std::nullopt,
         "System Directory : not an absolute path < \\windows > [ No File Deleted ]"},
        {"relative to a drive's current folder", "C:windows", 9, std::nullopt,
         "System Directory : not an absolute path < C:windows > [ No File Deleted ]"},
        {"longest that fits, but relative", longest, 259, std::nullopt,
         "System Directory : not an absolute path < " + longest + " > [ No File Deleted ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string buffer = c.buffer;
        buffer.resize(SYSTEM_DIRECTORY_BUFFER, '\0');
        const SystemDirectoryCheck check = CheckSystemDirectory(buffer, c.result);
        EXPECT_EQ(check.directory, c.directory);
        EXPECT_EQ(check.refusalTrace, c.refusal);
    }
}

TEST(ViewerComponents, FilePathsNameOnlyThatFileOfThatDirectory)
{
    EXPECT_EQ(SystemFilePath("C:\\", "ijl11.dll"), "C:\\ijl11.dll");
    EXPECT_EQ(SystemFilePath("\\\\host\\share", "ijl11.dll"), "\\\\host\\share\\ijl11.dll");
    const char* const refused[] = {
        "",    ".",   "..",  "*.ocx", "ijl1?.dll", "..\\ijl11.dll", "sub\\ijl11.dll", "sub/ijl11.dll", "C:ijl11.dll",
        "a|b", "a<b", "a>b", "a\"b",  "tab\tname",
    };
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SystemFilePath("C:\\windows\\system32", name), std::nullopt);
    }
    for (const char* file : kViewerFiles)
        EXPECT_NE(SystemFilePath("C:\\windows\\system32", file), std::nullopt) << file;
}

TEST(ViewerComponents, OutcomeAndTheBoxThatEndsTheRun)
{
    EXPECT_EQ(RemovalOutcome(true), "Completed!");
    EXPECT_EQ(RemovalOutcome(false), "Process has shutdown failed.");
    EXPECT_EQ(RemovalDoneBoxText(RemovalOutcome(true)), "Completed!");
    EXPECT_EQ(RemovalDoneBoxText(RemovalOutcome(false)), "Completed!\nProcess has shutdown failed.");
}

}  // namespace
