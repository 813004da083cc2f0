// UTC text: ISO 8601 and the audit log's file-name form.
#include <gtest/gtest.h>

#include <ctime>

#include "utc_time.h"

namespace {

TEST(UtcTime, MomentsAsText)
{
    // 2026-05-04 13:07:09 UTC; then the last second of a leap year's day.
    const std::time_t moment = 1777900029;
    EXPECT_EQ(UtcTimestamp(moment), "2026-05-04T13:07:09Z");
    EXPECT_EQ(FormatUtc(moment, "%Y%m%dT%H%M%SZ"), "20260504T130709Z");
    EXPECT_EQ(UtcTimestampMicroseconds(moment, 250), "2026-05-04T13:07:09.000250Z");
    EXPECT_EQ(UtcTimestamp(951868799), "2000-02-29T23:59:59Z");
    EXPECT_EQ(UtcTimestamp(0), "1970-01-01T00:00:00Z");
}

TEST(UtcTime, EmptyTextIsUnknown)
{
    EXPECT_EQ(FormatUtc(0, ""), "unknown-time");
}

}  // namespace
