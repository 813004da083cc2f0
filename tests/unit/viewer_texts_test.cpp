// What the operator reads of the component removal: the confirmation's
// caption and the box that ends the run.
#include <gtest/gtest.h>

#include "viewer_texts.h"

namespace {

TEST(ViewerTexts, ConfirmationCaptionAndCodePage)
{
    EXPECT_STREQ(kViewerConfirmationCaption, "UnInstall");
    EXPECT_EQ(VIEWER_CONFIRMATION_CODE_PAGE, 949u);
}

TEST(ViewerTexts, OutcomeAndTheBoxThatEndsTheRun)
{
    EXPECT_EQ(RemovalOutcome(true), "Completed!");
    EXPECT_EQ(RemovalOutcome(false), "Process has shutdown failed.");
    EXPECT_EQ(RemovalDoneBoxText(RemovalOutcome(true)), "Completed!");
    EXPECT_EQ(RemovalDoneBoxText(RemovalOutcome(false)), "Completed!\nProcess has shutdown failed.");
}

}  // namespace
