// What a received datagram becomes: a record when it holds 1 to 371 bytes,
// the rest of the record zero whatever the receive buffer held, and the
// feature that takes it by its command.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "datagram.h"
#include "record_bytes.h"

namespace {

struct LengthCase {
    const char* name;
    std::size_t length;
    bool taken;
};

TEST(RecordFromDatagram, TakesOneToOneRecordOfBytesAndZeroesTheRest)
{
    const LengthCase cases[] = {
        {"empty", 0, false},
        {"one byte", 1, true},
        {"the command alone", 4, true},
        {"up to the MAC text", 96, true},
        {"one byte short", DISCOVERY_DATA_SIZE - 1, true},
        {"a whole record", DISCOVERY_DATA_SIZE, true},
        {"one byte too long", DISCOVERY_DATA_SIZE + 1, false},
        {"far too long", 4096, false},
    };
    // The receive buffer holds 'Z' beyond what arrived: none of it may show.
    std::vector<unsigned char> bytes(4096, 'Z');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % 7 == 0)
            bytes[i] = static_cast<unsigned char>(i);
    }
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<DISCOVERY_DATA> record = RecordFromDatagram(bytes.data(), c.length);
        ASSERT_EQ(record.has_value(), c.taken);
        if (!record)
            continue;
        DISCOVERY_DATA expected = FilledRecord(0);
        std::memcpy(&expected, bytes.data(), c.length);
        EXPECT_TRUE(SameBytes(*record, expected));
    }
}

TEST(RecordFromDatagram, AShortReplyReadsAsEmptyTextsAndZeroNumbers)
{
    const unsigned char reply[] = {4, 0, 0, 0, 7};
    const std::optional<DISCOVERY_DATA> record = RecordFromDatagram(reply, sizeof reply);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->command, DISCOVERY_CMD_SEARCH_REPLY);
    EXPECT_EQ(record->result, 7u);
    EXPECT_EQ(LiteralText(record->macAddress), "");
    EXPECT_EQ(LiteralText(record->ipAddress), "");
    EXPECT_EQ(record->webPort, 0);
    EXPECT_EQ(record->httpsEnabled, 0);
}

struct CommandCase {
    std::uint32_t command;
    DatagramFeature feature;
};

TEST(FeatureOfDatagram, SearchRepliesAndApplyRepliesOnly)
{
    const CommandCase cases[] = {
        {DISCOVERY_CMD_SEARCH_REPLY, DatagramFeature::SearchReply},
        {DISCOVERY_CMD_SET_CONFIG, DatagramFeature::ApplyReply},
        {0, DatagramFeature::None},
        {DISCOVERY_CMD_SEARCH, DatagramFeature::None},
        {DISCOVERY_CMD_REBOOT, DatagramFeature::None},
        {DISCOVERY_CMD_FACTORY_RESET, DatagramFeature::None},
        // The whole 32-bit value counts, not its low byte.
        {0x104, DatagramFeature::None},
        {0x05000000, DatagramFeature::None},
        {0x04000004, DatagramFeature::None},
        {0xFFFFFFFF, DatagramFeature::None},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.command);
        DISCOVERY_DATA record = FilledRecord(0x05);
        record.command = c.command;
        EXPECT_EQ(FeatureOfDatagram(record), c.feature);
    }
}

}  // namespace
