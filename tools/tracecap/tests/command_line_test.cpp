// Arguments survive the trip through one command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

struct Case {
    std::string argument;
    std::string quoted;
};

const Case kCases[] = {
    {"plain", "plain"},
    {"", "\"\""},
    {"two words", "\"two words\""},
    {"tab\there", "\"tab\there\""},
    {"say \"hi\"", "\"say \\\"hi\\\"\""},
    {"C:\\path\\", "C:\\path\\"},
    {"C:\\my path\\", "\"C:\\my path\\\\\""},
    {"back\\\\\"quote", "\"back\\\\\\\\\\\"quote\""},
    {"Z:\\tmp\\a b\\Nodewright.exe", "\"Z:\\tmp\\a b\\Nodewright.exe\""},
};

TEST(CommandLine, QuotesOnlyWhatNeedsIt)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(QuoteArgument(c.argument), c.quoted);
    }
    EXPECT_EQ(JoinCommandLine({"prog.exe", "a b", "c"}), "prog.exe \"a b\" c");
}

#ifdef _WIN32
// The system's own parser gives the arguments back.
TEST(CommandLine, RoundTripsThroughTheSystemParser)
{
    std::vector<std::string> arguments = {"prog.exe"};
    for (const Case& c : kCases)
        arguments.push_back(c.argument);
    const std::string line = JoinCommandLine(arguments);
    const std::wstring wide(line.begin(), line.end());
    int count = 0;
    LPWSTR* parsed = ::CommandLineToArgvW(wide.c_str(), &count);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(count, static_cast<int>(arguments.size()));
    for (int i = 1; i < count; ++i) {
        const std::wstring back(parsed[i]);
        EXPECT_EQ(std::string(back.begin(), back.end()), arguments[static_cast<std::size_t>(i)]);
    }
    ::LocalFree(parsed);
}
#endif

}  // namespace
