// Which apply replies are shown: any host can send one, so only the reply of
// the device the Save went to counts, once; others leave the wait as it was.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "apply_reply.h"
#include "record_bytes.h"

namespace {

DISCOVERY_DATA Reply(const std::string& mac, std::uint32_t result)
{
    DISCOVERY_DATA record = FilledRecord(0);
    record.command = DISCOVERY_CMD_SET_CONFIG;
    record.result = result;
    PutField(record.macAddress, mac);
    return record;
}

struct ReplyCase {
    const char* name;
    std::optional<std::string> awaited;
    DISCOVERY_DATA reply;
    const char* shown;  // null: nothing
    std::optional<std::string> awaitedAfter;
};

TEST(ApplyReply, OnlyTheAwaitedDeviceIsShownAndEndsTheWait)
{
    const std::string mac = "00:1A:2B:3C:4D:5E";
    const std::string full(24, 'M');
    const ReplyCase cases[] = {
        {"awaited device, OK", mac, Reply(mac, 0), "Apply", std::nullopt},
        {"awaited device, invalid port", mac, Reply(mac, 3), "Failed. Invalid port", std::nullopt},
        {"awaited device, login failed", mac, Reply(mac, 5), "Failed. login failed", std::nullopt},
        {"awaited device, unknown result: nothing shown, wait ended", mac, Reply(mac, 6), nullptr, std::nullopt},
        {"another device", mac, Reply("00:1A:2B:3C:4D:5F", 0), nullptr, mac},
        {"same MAC in other letter case", mac, Reply("00:1a:2b:3c:4d:5e", 0), nullptr, mac},
        {"empty MAC while a Save waits", mac, Reply("", 0), nullptr, mac},
        {"empty MAC while nothing waits", std::nullopt, Reply("", 0), nullptr, std::nullopt},
        {"the device's MAC while nothing waits", std::nullopt, Reply(mac, 0), nullptr, std::nullopt},
        {"a Save to a device without MAC text", std::string(), Reply("", 2), "Failed. Invalid address", std::nullopt},
        {"MAC text that fills its field", full, Reply(full, 1), "Failed", std::nullopt},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<std::string> awaited = c.awaited;
        const char* shown = TakeApplyReply(awaited, c.reply);
        if (c.shown)
            EXPECT_STREQ(shown, c.shown);
        else
            EXPECT_EQ(shown, nullptr);
        EXPECT_EQ(awaited, c.awaitedAfter);
    }
}

TEST(ApplyReply, TheAwaitedReplyIsShownOnceAfterStrayOnes)
{
    const std::string mac = "00:1A:2B:3C:4D:5E";
    std::optional<std::string> awaited = mac;
    EXPECT_EQ(TakeApplyReply(awaited, Reply("00:00:00:00:00:01", 0)), nullptr);
    EXPECT_EQ(TakeApplyReply(awaited, Reply("", 0)), nullptr);
    EXPECT_STREQ(TakeApplyReply(awaited, Reply(mac, 4)), "Failed. Invalid config");
    EXPECT_EQ(TakeApplyReply(awaited, Reply(mac, 4)), nullptr) << "a repeat of the answer";
}

}  // namespace
