// watch's rule: what one pass of the search says happened since the pass
// before, given as tables of passes, and the events as lines and JSON.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "device/found_devices.h"
#include "ipv4_text.h"
#include "rules/watch_rules.h"
#include "search_reply.h"

namespace {

constexpr std::time_t kStart = 1705314600;  // 2024-01-15T10:30:00Z; passes are ten seconds apart

// "A@192.0.2.10": a device's MAC text and address in one pass.
std::vector<FoundDevice> Found(const std::vector<std::string>& devices)
{
    std::vector<FoundDevice> found;
    for (const std::string& device : devices) {
        const std::size_t at = device.find('@');
        found.push_back(FoundDevice{SearchReply(device.substr(0, at), device.substr(at + 1), "Cam"), "lan0"});
    }
    return found;
}

// An event in a few words: "moved A 192.0.2.20 from 192.0.2.10 factory?".
std::string Brief(const WatchEvent& e)
{
    std::string brief = std::string(WatchEventName(e.kind)) + ' ' + e.mac + ' ' + e.ip;
    if (!e.previousIp.empty())
        brief += " from " + e.previousIp;
    if (e.factoryDefault)
        brief += " factory?";
    for (std::size_t i = 0; i < e.macs.size(); ++i)
        brief += (i == 0 ? " [" : " ") + e.macs[i] + (i + 1 == e.macs.size() ? "]" : "");
    return brief;
}

struct PassCase {
    std::vector<std::string> devices;
    std::vector<std::string> events;
};

struct Story {
    const char* name;
    std::vector<PassCase> passes;
};

TEST(Watch, EventsPassByPass)
{
    const Story stories[] = {
        {"gone after two passes in a row without it, and back",
         {{{"A@192.0.2.10", "B@192.0.2.11"}, {"appeared A 192.0.2.10", "appeared B 192.0.2.11"}},
          {{"A@192.0.2.10"}, {}},
          {{"A@192.0.2.10", "B@192.0.2.11"}, {}},
          {{"A@192.0.2.10"}, {}},
          {{"A@192.0.2.10"}, {"gone B 192.0.2.11"}},
          {{"A@192.0.2.10"}, {}},
          {{}, {}},
          {{}, {"gone A 192.0.2.10"}},
          {{"B@192.0.2.11", "A@192.0.2.10"},
           {"back B 192.0.2.11 from 192.0.2.11", "back A 192.0.2.10 from 192.0.2.10"}}}},
        {"moves, and a hint when the address is the first one or the default",
         {{{"A@192.0.2.10"}, {"appeared A 192.0.2.10"}},
          {{"A@192.0.2.20"}, {"moved A 192.0.2.20 from 192.0.2.10"}},
          {{"A@192.0.2.20"}, {}},
          {{"A@192.0.2.10"}, {"moved A 192.0.2.10 from 192.0.2.20 factory?"}},
          {{"A@192.0.2.99"}, {"moved A 192.0.2.99 from 192.0.2.10 factory?"}},
          {{"A@192.0.2.30"}, {"moved A 192.0.2.30 from 192.0.2.99"}}}},
        {"back at another address",
         {{{"A@192.0.2.10"}, {"appeared A 192.0.2.10"}},
          {{}, {}},
          {{}, {"gone A 192.0.2.10"}},
          {{"A@192.0.2.20"}, {"back A 192.0.2.20 from 192.0.2.10", "moved A 192.0.2.20 from 192.0.2.10"}}}},
        {"a shared address is said once, and again when another device joins it",
         {{{"A@192.0.2.10"}, {"appeared A 192.0.2.10"}},
          {{"A@192.0.2.10", "B@192.0.2.10"}, {"appeared B 192.0.2.10", "shared-address B 192.0.2.10 [A B]"}},
          {{"B@192.0.2.10", "A@192.0.2.10"}, {}},
          {{"A@192.0.2.10", "B@192.0.2.10", "C@192.0.2.10"},
           {"appeared C 192.0.2.10", "shared-address C 192.0.2.10 [A B C]"}},
          // C missed a pass: it keeps its address until it is gone.
          {{"A@192.0.2.10", "B@192.0.2.10"}, {}},
          {{"A@192.0.2.10", "B@192.0.2.10"}, {"gone C 192.0.2.10"}},
          {{"A@192.0.2.10", "B@192.0.2.11"}, {"moved B 192.0.2.11 from 192.0.2.10"}},
          {{"A@192.0.2.10", "B@192.0.2.10"},
           {"moved B 192.0.2.10 from 192.0.2.11 factory?", "shared-address B 192.0.2.10 [A B]"}}}},
        {"the device that came to the address is named, though seen before the other",
         {{{"A@192.0.2.10", "B@192.0.2.11"}, {"appeared A 192.0.2.10", "appeared B 192.0.2.11"}},
          {{"A@192.0.2.11", "B@192.0.2.11"},
           {"moved A 192.0.2.11 from 192.0.2.10", "shared-address A 192.0.2.11 [A B]"}}}},
        {"the first pass finds a shared address",
         {{{"A@192.0.2.10", "B@192.0.2.10", "C@192.0.2.12"},
           {"appeared A 192.0.2.10", "appeared B 192.0.2.10", "appeared C 192.0.2.12",
            "shared-address B 192.0.2.10 [A B]"}}}},
        {"a MAC at two addresses counts at the first; no address is no shared address",
         {{{"A@192.0.2.10", "A@192.0.2.11", "X@", "Y@"}, {"appeared A 192.0.2.10", "appeared X ", "appeared Y "}},
          {{"A@192.0.2.11", "A@192.0.2.10", "X@", "Y@"}, {"moved A 192.0.2.11 from 192.0.2.10"}}}},
        {"MAC texts are compared as sent: another case is another device",
         {{{"00:1a:2b:00:00:01@192.0.2.10"}, {"appeared 00:1a:2b:00:00:01 192.0.2.10"}},
          {{"00:1A:2B:00:00:01@192.0.2.10"},
           {"appeared 00:1A:2B:00:00:01 192.0.2.10",
            "shared-address 00:1A:2B:00:00:01 192.0.2.10 [00:1a:2b:00:00:01 00:1A:2B:00:00:01]"}}}},
    };
    for (const Story& story : stories) {
        Watch watch(ParseIPv4("192.0.2.99"));
        for (std::size_t pass = 0; pass < story.passes.size(); ++pass) {
            std::vector<std::string> events;
            for (const WatchEvent& e : watch.Pass(Found(story.passes[pass].devices), kStart + 10 * pass)) {
                events.push_back(Brief(e));
                EXPECT_EQ(e.time, kStart + 10 * static_cast<std::time_t>(pass));
            }
            EXPECT_EQ(events, story.passes[pass].events) << story.name << ", pass " << pass + 1;
        }
        EXPECT_EQ(watch.Passes(), static_cast<int>(story.passes.size())) << story.name;
    }
}

TEST(Watch, WhenLastSeenAndTheCounts)
{
    Watch watch(std::nullopt);
    watch.Pass(Found({"A@192.0.2.10", "B@192.0.2.10"}), kStart);
    watch.Pass(Found({"A@192.0.2.10"}), kStart + 5);
    const std::vector<WatchEvent> gone = watch.Pass(Found({"A@192.0.2.10"}), kStart + 10);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].lastSeen, kStart) << "the last pass that heard it, not the one that missed it";
    EXPECT_EQ(watch.Devices()[1].lastSeen, kStart);
    EXPECT_TRUE(watch.Devices()[1].Gone());

    const std::vector<WatchEvent> back = watch.Pass(Found({"A@192.0.2.99", "B@192.0.2.10"}), kStart + 15);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(Brief(back[0]), "moved A 192.0.2.99 from 192.0.2.10") << "no default address given";
    EXPECT_EQ(back[1].lastSeen, kStart);
    EXPECT_EQ(watch.Counts(), (std::array<int, kWatchEventKinds>{2, 1, 1, 1, 1}));
    EXPECT_EQ(watch.Devices().size(), 2u);
}

TEST(Watch, RoundsPerPassFitTheInterval)
{
    const std::pair<double, int> cases[] = {{1, 1}, {2.4, 1}, {4.9, 1}, {5, 2}, {7.4, 2}, {7.5, 3}, {3600, 3}};
    for (const auto& [interval, rounds] : cases)
        EXPECT_EQ(WatchRounds(interval), rounds) << interval;
}

// Device texts come from the network: nothing raw reaches a terminal, and a
// JSON line stays one line.
TEST(WatchOutput, EachEventAsALineAndAsJson)
{
    const std::string hostile = "\x1b[2J\"\\\n\x9b";
    const std::string safe = "\\x1B[2J\"\\\\\\x0A\\x9B";
    const std::string json = "\"\\u001b[2J\\\"\\\\\\u000a\\u009b\"";
    WatchEvent event;
    event.time = kStart + 60;
    event.mac = hostile;
    event.ip = "192.0.2.20";
    event.previousIp = hostile;
    event.lastSeen = kStart;
    event.macs = {"A", hostile};
    const std::string at = "2024-01-15T10:31:00Z ";
    const struct {
        WatchEventKind kind;
        bool factoryDefault;
        std::string line;
        std::string json;  // after time, event, mac and ip
    } cases[] = {
        {WatchEventKind::Appeared, false, at + "appeared " + safe + " at 192.0.2.20", ""},
        {WatchEventKind::Gone, false, at + "gone " + safe + " from 192.0.2.20, last seen 2024-01-15T10:30:00Z",
         ", \"last_seen\": \"2024-01-15T10:30:00Z\""},
        {WatchEventKind::Back, false, at + "back " + safe + " at 192.0.2.20, gone since 2024-01-15T10:30:00Z",
         ", \"previous_ip\": " + json + ", \"last_seen\": \"2024-01-15T10:30:00Z\""},
        {WatchEventKind::Moved, false, at + "moved " + safe + " from " + safe + " to 192.0.2.20",
         ", \"previous_ip\": " + json + ", \"factory_default\": false"},
        {WatchEventKind::Moved, true,
         at + "moved " + safe + " from " + safe + " to 192.0.2.20, back on a factory default?",
         ", \"previous_ip\": " + json + ", \"factory_default\": true"},
        {WatchEventKind::Shared, false, at + "shared-address 192.0.2.20 answered by A and " + safe,
         ", \"macs\": [\"A\", " + json + "]"},
    };
    for (const auto& c : cases) {
        event.kind = c.kind;
        event.factoryDefault = c.factoryDefault;
        EXPECT_EQ(WatchEventLine(event), c.line);
        EXPECT_EQ(WatchEventJson(event), "{\"time\": \"2024-01-15T10:31:00Z\", \"event\": \"" +
                                             std::string(WatchEventName(c.kind)) + "\", \"mac\": " + json +
                                             ", \"ip\": \"192.0.2.20\"" + c.json + "}");
    }
    event.kind = WatchEventKind::Appeared;
    event.ip = "";
    EXPECT_EQ(WatchEventLine(event), at + "appeared " + safe + " at no address");
}

TEST(WatchOutput, TheTableAndTheSummary)
{
    Watch watch(std::nullopt);
    EXPECT_EQ(WatchSummaryLine(watch, kStart),
              "2024-01-15T10:30:00Z summary 0 passes, 0 devices seen; 0 appeared, "
              "0 gone, 0 back, 0 moved, 0 shared-address\n");
    std::vector<FoundDevice> found = Found({"A@192.0.2.10", "B@192.0.2.11", "\x1b[31m@"});
    PutField(found[2].record.productName, "");
    watch.Pass(found, kStart);
    watch.Pass(Found({"A@192.0.2.10", "B@192.0.2.11"}), kStart + 10);
    watch.Pass(Found({"A@192.0.2.10"}), kStart + 20);
    EXPECT_EQ(WatchTable(watch),
              "mac       ip          state    last_seen             product\n"
              "A         192.0.2.10  present  2024-01-15T10:30:20Z  Cam\n"
              "B         192.0.2.11  missed   2024-01-15T10:30:10Z  Cam\n"
              "\\x1B[31m  -           gone     2024-01-15T10:30:00Z  -\n");
    EXPECT_EQ(WatchSummaryLine(watch, kStart + 25),
              "2024-01-15T10:30:25Z summary 3 passes, 3 devices seen; "
              "3 appeared, 1 gone, 0 back, 0 moved, 0 shared-address\n");
    EXPECT_EQ(WatchSummaryJson(watch, kStart + 25),
              "{\"time\": \"2024-01-15T10:30:25Z\", \"event\": \"summary\", \"passes\": 3, \"devices\": 3, "
              "\"events\": {\"appeared\": 3, \"gone\": 1, \"back\": 0, \"moved\": 0, \"shared-address\": 0}}\n");
}

}  // namespace
