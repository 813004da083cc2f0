// The caption of the program's message boxes comes from wherever and under
// whatever name the executable was started.
#include <gtest/gtest.h>

#include <string>

#include "app_title.h"

namespace {

bool NoLeadBytes(unsigned char)
{
    return false;
}

// Shift-JIS (code page 932): a lead byte's partner may be 0x5C, the byte of
// a backslash.
bool ShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct TitleCase {
    const char* path;
    const char* title;
};

TEST(AppTitle, IsTheFileNameWithoutItsExtension)
{
    const TitleCase cases[] = {
        {"C:\\Tools\\Nodewright.exe", "Nodewright"},
        {"C:\\Program Files (x86)\\Nodewright\\Nodewright V2.EXE", "Nodewright V2"},
        {"Nodewright.exe", "Nodewright"},
        {"C:Nodewright.exe", "Nodewright"},
        {"\\\\?\\C:\\Tools\\Nodewright.exe", "Nodewright"},
        {"\\\\server\\share\\Nodewright.exe", "Nodewright"},
        {"C:/Tools/Nodewright.exe", "Nodewright"},
        {"Z:\\home\\user\\.wine\\drive_c\\Nodewright.exe", "Nodewright"},
        // Only the last extension goes; dots in folders are no extension.
        {"C:\\Tools\\Nodewright.v2.exe", "Nodewright.v2"},
        {"C:\\Tools.v2\\Nodewright", "Nodewright"},
        {"C:\\Tools.v2\\Nodewright.", "Nodewright"},
        {"C:\\Tools\\Nodewright", "Nodewright"},
        {"", ""},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(AppTitleFromModulePath(c.path, NoLeadBytes), c.title);
    }
}

TEST(AppTitle, DoubleByteCharactersAreNeverSeparators)
{
    const TitleCase cases[] = {
        // "\x83\x5C" is one character whose second byte looks like a backslash.
        {"C:\\Tools\\\x83\x5C.exe", "\x83\x5C"},
        {"C:\\\x83\x5C\\Nodewright.exe", "Nodewright"},
        {"C:\\Tools\\a\x83\x5C"
         "b.exe",
         "a\x83\x5C"
         "b"},
        // A lead byte at the very end stands alone.
        {"C:\\Tools\\a\x83", "a\x83"},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(AppTitleFromModulePath(c.path, ShiftJisLeadByte), c.title);
    }
}

}  // namespace
