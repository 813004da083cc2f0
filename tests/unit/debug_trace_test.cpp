// The debug trace's text: printf formatting into a 1024-byte buffer, and what
// becomes of a text that does not fit.
#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "debug_trace.h"

namespace {

std::string Trace(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::string text = FormatTrace(format, arguments);
    va_end(arguments);
    return text;
}

constexpr std::size_t kLongest = DEBUG_TRACE_BUFFER - 1;

TEST(DebugTrace, FormatsLikePrintf)
{
    EXPECT_EQ(Trace(""), "");
    EXPECT_EQ(Trace("no arguments"), "no arguments");
    EXPECT_EQ(Trace("%s deleted: %d\n", "C:\\Windows\\system32\\a.ocx", -3),
              "C:\\Windows\\system32\\a.ocx deleted: -3\n");
    EXPECT_EQ(Trace("%5d|%-4s|%%|%c|%u", 42, "ab", 'z', 4000000000u), "   42|ab  |%|z|4000000000");
    EXPECT_EQ(Trace("%s", ""), "");
}

struct FitCase {
    const char* name;
    std::string text;  // what the format and its arguments make
    std::string expected;
};

// The same lengths reached from the format itself and from an argument.
TEST(DebugTrace, TextUpTo1023CharactersFitsWholeLongerIsCut)
{
    const std::string fits(kLongest, 'a');
    const std::string cut = std::string(kLongest - 3, 'a') + "...";
    const FitCase cases[] = {
        {"1022 characters", std::string(kLongest - 1, 'a'), std::string(kLongest - 1, 'a')},
        {"1023 characters", fits, fits},
        {"1024 characters", std::string(kLongest + 1, 'a'), cut},
        {"1025 characters", std::string(kLongest + 2, 'a'), cut},
        {"100000 characters", std::string(100000, 'a'), cut},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Trace("%s", c.text.c_str()), c.expected);
        EXPECT_EQ(Trace(c.text.c_str()), c.expected);
    }
}

// A number that straddles the end of the buffer: its digits are lost to
// the "..." and nothing of it shows past the end.
TEST(DebugTrace, CutFallsInsideAConversion)
{
    const std::string lead(kLongest - 4, 'b');
    EXPECT_EQ(Trace("%s%d", lead.c_str(), 123456), lead + "1...");
    EXPECT_EQ(Trace("%s%d", lead.c_str(), 1234), lead + "1234");
    EXPECT_EQ(Trace("%s%s%s", lead.c_str(), "xyz", "0123456789"), lead + "x...");
}

// A character argument of 0 ends the C text early; the cut must still not
// reach before the start of what is left.
TEST(DebugTrace, NulFromAnArgumentInALongText)
{
    const std::string tail(2000, 'c');
    for (const char* format : {"%c%s", "a%c%s", "ab%c%s"}) {
        SCOPED_TRACE(format);
        std::string text;
        EXPECT_NO_THROW(text = Trace(format, '\0', tail.c_str()));
        EXPECT_LE(text.size(), kLongest);
        EXPECT_EQ(text.find('c'), std::string::npos);
    }
}

}  // namespace
