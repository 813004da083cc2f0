// What the confirmation box's answer decides about a reboot or a factory
// reset: a box that could not be shown is no consent.
#include <gtest/gtest.h>

#include "device_commands.h"

namespace {

struct AnswerCase {
    const char* name;
    int answer;  // as MessageBox returns it
    bool goesOn;
};

TEST(BatchConfirmed, OnlyYesGoesOn)
{
    const AnswerCase cases[] = {
        {"IDYES", 6, true},     {"IDNO", 7, false},    {"box not shown", 0, false}, {"IDOK", 1, false},
        {"IDCANCEL", 2, false}, {"IDABORT", 3, false}, {"unknown", -1, false},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BatchConfirmed(c.answer), c.goesOn);
    }
}

TEST(BatchOutcomeText, ApplyOnlyWhenEveryRecordLeft)
{
    EXPECT_EQ(BatchOutcomeText(0, 3), "Apply");
    EXPECT_EQ(BatchOutcomeText(1, 3), "Failed. 1 of 3 commands could not be sent.");
    EXPECT_EQ(BatchOutcomeText(2, 2), "Failed. 2 of 2 commands could not be sent.");
}

}  // namespace
