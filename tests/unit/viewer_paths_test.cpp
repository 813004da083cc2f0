// Where the component removal refuses to delete: a system directory that
// is not named absolutely, and file names that could name another file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "viewer_paths.h"
#include "viewer_removal_order.h"

namespace {

TEST(ViewerPaths, SystemDirectoryIsTakenOnlyWhenItNamesOneAbsolutely)
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

TEST(ViewerPaths, FilePathsNameOnlyThatFileOfThatDirectory)
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

}  // namespace
