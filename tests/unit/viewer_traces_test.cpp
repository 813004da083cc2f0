// The traces of commands the component removal could not start.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "viewer_traces.h"

namespace {

TEST(ViewerTraces, FailureTraceOnlyForCodesWithAText)
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

TEST(ViewerTraces, StartErrorsTakeWinExecsCodes)
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

}  // namespace
