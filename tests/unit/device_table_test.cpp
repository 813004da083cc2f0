// The device table: positions at and past its ends, records kept byte for
// byte, a position cursor that must never hand back the wrong record, and
// its lock under three threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "device_table.h"
#include "record_bytes.h"

namespace {

using Table = CListVur<DISCOVERY_DATA>;

// A record whose every byte depends on `stamp` and `version`, with texts
// that end in a NUL followed by bytes that must survive, and one text
// without a NUL.
DISCOVERY_DATA Stamped(std::uint32_t stamp, std::uint32_t version = 0)
{
    DISCOVERY_DATA record;
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i)
        bytes[i] = static_cast<unsigned char>(stamp * 131u + version * 29u + i * 7u + 1u);
    record.command = stamp;
    record.result = version;
    PutField(record.macAddress, "00:1a:2b:" + std::to_string(stamp));
    PutField(record.ipAddress, std::string(sizeof record.ipAddress, 'i'));
    return record;
}

std::uint32_t StampOf(const DISCOVERY_DATA& record)
{
    return record.command;
}

struct TableCase {
    const char* name;
    std::vector<std::uint32_t> stamps;  // appended before the check
    std::function<void(Table&)> check;
};

TEST(DeviceTable, EdgeCases)
{
    constexpr std::uint32_t kPastEverything = 0xFFFFFFFFu;
    const TableCase cases[] = {
        {"one record: positions 0 and 5 both read it",
         {1},
         [](Table& table) {
             DISCOVERY_DATA out = FilledRecord(0);
             EXPECT_TRUE(table.GetAt(0, &out));
             EXPECT_TRUE(SameBytes(out, Stamped(1)));
             out = FilledRecord(0);
             EXPECT_TRUE(table.GetAt(5, &out));
             EXPECT_TRUE(SameBytes(out, Stamped(1)));
         }},
        {"three records: position -1 reads the third",
         {1, 2, 3},
         [](Table& table) {
             DISCOVERY_DATA out = FilledRecord(0);
             EXPECT_TRUE(table.GetAt(kPastEverything, &out));
             EXPECT_TRUE(SameBytes(out, Stamped(3)));
             EXPECT_TRUE(table.GetAt(3, &out));
             EXPECT_TRUE(SameBytes(out, Stamped(3)));
         }},
        {"empty table: reading leaves a filled buffer as it was",
         {},
         [](Table& table) {
             for (std::uint32_t position : {0u, 1u, kPastEverything}) {
                 DISCOVERY_DATA out = FilledRecord(0xA5);
                 EXPECT_FALSE(table.GetAt(position, &out));
                 EXPECT_TRUE(SameBytes(out, FilledRecord(0xA5)));
             }
         }},
        {"writing at count, at -1 and on an empty table fails and changes nothing",
         {1, 2},
         [](Table& table) {
             EXPECT_FALSE(table.SetAt(2, Stamped(9)));
             EXPECT_FALSE(table.SetAt(kPastEverything, Stamped(9)));
             DISCOVERY_DATA out;
             for (std::uint32_t position : {0u, 1u}) {
                 ASSERT_TRUE(table.GetAt(position, &out));
                 EXPECT_TRUE(SameBytes(out, Stamped(position + 1)));
             }
             table.RemoveAll();
             EXPECT_FALSE(table.SetAt(0, Stamped(9)));
             EXPECT_FALSE(table.GetAt(0, &out));
         }},
        {"writing inside overwrites that record only",
         {1, 2, 3},
         [](Table& table) {
             EXPECT_TRUE(table.SetAt(1, Stamped(7)));
             const std::uint32_t expected[] = {1, 7, 3};
             DISCOVERY_DATA out;
             for (std::uint32_t position = 0; position < 3; ++position) {
                 ASSERT_TRUE(table.GetAt(position, &out));
                 EXPECT_TRUE(SameBytes(out, Stamped(expected[position])));
             }
         }},
        {"two identical records are two records",
         {4, 4},
         [](Table& table) {
             EXPECT_TRUE(table.SetAt(1, Stamped(4)));
             EXPECT_FALSE(table.SetAt(2, Stamped(4)));
             DISCOVERY_DATA out;
             ASSERT_TRUE(table.GetAt(0, &out));
             EXPECT_TRUE(SameBytes(out, Stamped(4)));
             ASSERT_TRUE(table.GetAt(1, &out));
             EXPECT_TRUE(SameBytes(out, Stamped(4)));
         }},
        {"emptying an empty table, then appending",
         {},
         [](Table& table) {
             table.RemoveAll();
             DISCOVERY_DATA out = FilledRecord(0x5A);
             EXPECT_FALSE(table.GetAt(0, &out));
             EXPECT_TRUE(table.AddTail(Stamped(8)));
             EXPECT_TRUE(table.GetAt(0, &out));
             EXPECT_TRUE(SameBytes(out, Stamped(8)));
         }},
        {"emptying a full table, then appending makes one record",
         {1, 2, 3, 4, 5},
         [](Table& table) {
             DISCOVERY_DATA out;
             ASSERT_TRUE(table.GetAt(3, &out));  // leaves the cursor inside
             table.RemoveAll();
             out = FilledRecord(0x5A);
             EXPECT_FALSE(table.GetAt(0, &out));
             EXPECT_TRUE(SameBytes(out, FilledRecord(0x5A)));
             EXPECT_TRUE(table.AddTail(Stamped(6)));
             for (std::uint32_t position : {0u, 1u, 3u, kPastEverything}) {
                 ASSERT_TRUE(table.GetAt(position, &out));
                 EXPECT_TRUE(SameBytes(out, Stamped(6)));
             }
             EXPECT_FALSE(table.SetAt(1, Stamped(9)));
         }},
        {"a record comes back byte for byte, bytes after a text's NUL too",
         {},
         [](Table& table) {
             DISCOVERY_DATA in = FilledRecord(0xC3);
             PutField(in.productName, std::string("cam\0after-nul", 13));
             PutField(in.macAddress, std::string(sizeof in.macAddress, 'm'));
             in.passwordDigest[31] = 0x00;
             in.httpsEnabled = 0xFF;
             const DISCOVERY_DATA given = in;
             EXPECT_TRUE(table.AddTail(in));
             DISCOVERY_DATA out = FilledRecord(0);
             ASSERT_TRUE(table.GetAt(0, &out));
             EXPECT_TRUE(SameBytes(out, given));

             DISCOVERY_DATA later = FilledRecord(0x3C);
             PutField(later.firmwareVersion, std::string("V1\0\xff\xfe", 5));
             EXPECT_TRUE(table.SetAt(0, later));
             ASSERT_TRUE(table.GetAt(0, &out));
             EXPECT_TRUE(SameBytes(out, later));
         }},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        Table table;
        for (std::uint32_t stamp : c.stamps)
            ASSERT_TRUE(table.AddTail(Stamped(stamp)));
        c.check(table);
    }
}

// Reads in order, reads back and forth, writes, appends and empties at
// random against a plain vector: whatever the cursor remembers, every read
// and write must reach the record at the position asked for.
TEST(DeviceTable, AnyOrderOfAccessMatchesAVector)
{
    std::mt19937 random(20220807);
    std::uint32_t nextStamp = 1;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Table table;
        std::vector<DISCOVERY_DATA> model;
        const auto position = [&]() -> std::uint32_t {
            switch (random() % 8) {
                case 0:
                    return 0xFFFFFFFFu;
                case 1:
                    return static_cast<std::uint32_t>(model.size());
                case 2:
                    return static_cast<std::uint32_t>(model.size() + random() % 3);
                default:
                    return model.empty() ? 0 : static_cast<std::uint32_t>(random() % model.size());
            }
        };
        const auto read = [&](std::uint32_t at) {
            DISCOVERY_DATA out = FilledRecord(0xEE);
            const bool found = table.GetAt(at, &out);
            ASSERT_EQ(found, !model.empty()) << "GetAt(" << at << ")";
            const DISCOVERY_DATA& expected =
                model.empty() ? FilledRecord(0xEE) : model[std::min<std::size_t>(at, model.size() - 1)];
            ASSERT_TRUE(SameBytes(out, expected)) << "GetAt(" << at << ") of " << model.size() << " read stamp "
                                                  << StampOf(out) << ", wanted " << StampOf(expected);
        };
        for (int step = 0; step < 400; ++step) {
            switch (random() % 16) {
                case 0:
                case 1:
                case 2:
                case 3: {
                    const DISCOVERY_DATA record = Stamped(nextStamp++);
                    ASSERT_TRUE(table.AddTail(record));
                    model.push_back(record);
                    break;
                }
                case 4:
                case 5:
                case 6: {
                    const std::uint32_t at = position();
                    const DISCOVERY_DATA record = Stamped(nextStamp++);
                    const bool inside = at < model.size();
                    ASSERT_EQ(table.SetAt(at, record), inside) << "SetAt(" << at << ")";
                    if (inside)
                        model[at] = record;
                    break;
                }
                case 7: {
                    // In order from the start, as the duplicate scan and the sort read.
                    for (std::uint32_t at = 0; at < model.size(); ++at)
                        ASSERT_NO_FATAL_FAILURE(read(at));
                    break;
                }
                case 8: {
                    for (std::uint32_t at = static_cast<std::uint32_t>(model.size()); at-- > 0;)
                        ASSERT_NO_FATAL_FAILURE(read(at));
                    break;
                }
                case 9:
                    if (random() % 8 == 0) {
                        table.RemoveAll();
                        model.clear();
                    }
                    break;
                default:
                    ASSERT_NO_FATAL_FAILURE(read(position()));
                    break;
            }
        }
    }
}

// One thread appends, one rewrites the records already there with new
// versions, and this one reads, often all at the same few positions: the
// lock must keep every copy whole and every position right.
TEST(DeviceTable, ThreeThreadsNeverSeeATornOrMisplacedRecord)
{
    constexpr std::uint32_t kRecords = 2000;
    constexpr int kOperationsAfterAppending = 3000;
    Table table;
    ASSERT_TRUE(table.AddTail(Stamped(0)));
    std::atomic<std::uint32_t> appended{1};
    std::atomic<bool> appending{true};
    std::atomic<int> refused{0};
    // Half the time one of the first eight positions, where the threads meet.
    const auto pick = [&appended](std::mt19937& random, std::uint32_t beyond) {
        const std::uint32_t known = appended;
        return random() % 2 == 0 ? static_cast<std::uint32_t>(random() % std::min<std::uint32_t>(known, 8))
                                 : static_cast<std::uint32_t>(random() % (known + beyond));
    };

    std::thread appender([&] {
        for (std::uint32_t stamp = 1; stamp < kRecords; ++stamp) {
            if (!table.AddTail(Stamped(stamp))) {
                ++refused;
                break;
            }
            appended = stamp + 1;
        }
        appending = false;
    });
    std::thread rewriter([&] {
        std::mt19937 random(11);
        for (std::uint32_t version = 1; appending || version <= kOperationsAfterAppending; ++version) {
            const std::uint32_t at = pick(random, 0);
            if (!table.SetAt(at, Stamped(at, version)))
                ++refused;
        }
    });

    std::mt19937 random(7);
    int torn = 0, misplaced = 0, missing = 0;
    for (int reads = 0; appending || reads < kOperationsAfterAppending; ++reads) {
        const std::uint32_t known = appended;
        const std::uint32_t at = pick(random, 2);
        DISCOVERY_DATA out;
        if (!table.GetAt(at, &out)) {
            ++missing;
            continue;
        }
        const std::uint32_t stamp = StampOf(out);
        if (!SameBytes(out, Stamped(stamp, out.result)))
            ++torn;
        else if (stamp > at || (at < known && stamp != at))
            ++misplaced;
    }
    appender.join();
    rewriter.join();
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(misplaced, 0);
    EXPECT_EQ(missing, 0);

    DISCOVERY_DATA out;
    for (std::uint32_t at = 0; at < kRecords; ++at) {
        ASSERT_TRUE(table.GetAt(at, &out));
        ASSERT_EQ(StampOf(out), at);
        ASSERT_TRUE(SameBytes(out, Stamped(at, out.result))) << "position " << at;
    }
}

}  // namespace
