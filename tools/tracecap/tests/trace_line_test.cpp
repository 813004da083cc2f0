// tracecap's lines: one text, one line, and the text can be had back.
#include <gtest/gtest.h>

#include <string>

#include "trace_line.h"

namespace {

TEST(TraceLine, AnsiTexts)
{
    struct Case {
        std::string text;
        std::string line;
    };
    const Case cases[] = {
        {"File Delete : ijl11.dll [ Fail ] ", "File Delete : ijl11.dll [ Fail ] "},
        {"", ""},
        {"two\nlines\r\n", "two\\nlines\\r\\n"},
        {"C:\\windows\\system32", "C:\\\\windows\\\\system32"},
        {"tab\there", "tab\\there"},
        {std::string("nul\0in", 6), "nul\\x00in"},
        {"\x01\x1F\x7F", "\\x01\\x1F\\x7F"},
        {"\xB0\xA1 \xFF", "\xB0\xA1 \xFF"},
        {"\\!not a mark", "\\\\!not a mark"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string line = EscapeTraceText(c.text);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_NE(line.rfind("\\!", 0), 0u);
    }
}

TEST(TraceLine, WideTexts)
{
    EXPECT_EQ(EscapeTraceText(std::u16string(u"plain")), "plain");
    EXPECT_EQ(EscapeTraceText(std::u16string(u"a\n\\")), "a\\n\\\\");
    EXPECT_EQ(EscapeTraceText(std::u16string(u"\u00E9\uAC00\U0001F600")), "\\u00E9\\uAC00\\uD83D\\uDE00");
}

TEST(TraceLine, UnreadableMark)
{
    EXPECT_EQ(UnreadableTraceLine(12, 0x401000), "\\!unreadable debug string of 12 bytes at 0x401000");
}

}  // namespace
