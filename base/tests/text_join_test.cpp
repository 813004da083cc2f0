#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_join.h"

namespace {

TEST(TextJoin, SeparatorsOnlyBetweenItems)
{
    EXPECT_EQ(JoinTexts({}, ", "), "");
    EXPECT_EQ(JoinTexts({"a"}, ", "), "a");
    EXPECT_EQ(JoinTexts({"a", "", "c"}, ", "), "a, , c");
    const std::vector<int> numbers{1, 22, 333};
    EXPECT_EQ(JoinTexts(numbers, " ", [](int n) { return std::to_string(n); }), "1 22 333");
}

}  // namespace
