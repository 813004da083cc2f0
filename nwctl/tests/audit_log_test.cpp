// The audit log holds what was there, what was sent and what came of it,
// a line per event, and never the password or its digest.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "device_commands.h"
#include "record_bytes.h"
#include "rules/audit_log.h"

namespace {

std::string Hex(const unsigned char* bytes, std::size_t count)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0xF];
    }
    return hex;
}

TEST(AuditLog, OneLinePerEventWithoutSecrets)
{
    DISCOVERY_DATA before;
    std::memset(&before, 0, sizeof before);
    PutField(before.macAddress, "00:1A:2B:00:00:01");
    PutField(before.ipAddress, "192.0.2.10");
    before.webPort = 80;
    PanelSettings panel{0, "192.0.2.20", "255.255.255.0", "192.0.2.1", "192.0.2.2", 8080, 1, 2, 3, 4, 0};
    const DISCOVERY_DATA sent = BuildSaveRecord(before, panel, "admin", "s3cret-pass");
    const std::time_t time = 1705314600;
    const std::string head = "{\"time\": \"2024-01-15T10:30:00Z\", ";
    const std::string beforeJson =
        "{\"ip\": \"192.0.2.10\", \"mask\": \"\", \"gateway\": \"\", \"dns\": \"\", \"mode\": \"static\", "
        "\"web_port\": 80, \"control_port\": 0, \"video_port\": 0, \"audio_transmit_port\": 0, "
        "\"audio_receive_port\": 0}";
    const std::string sentJson =
        "{\"ip\": \"192.0.2.20\", \"mask\": \"255.255.255.0\", \"gateway\": \"192.0.2.1\", \"dns\": "
        "\"192.0.2.2\", \"mode\": \"static\", \"web_port\": 8080, \"control_port\": 1, \"video_port\": 2, "
        "\"audio_transmit_port\": 3, \"audio_receive_port\": 4}";
    const std::string mac = "\"mac\": \"00:1A:2B:00:00:01\", ";

    const struct {
        std::string line;
        std::string expected;
    } cases[] = {
        {AuditSent(time, before, sent),
         head + "\"event\": \"sent\", " + mac + "\"before\": " + beforeJson + ", \"sent\": " + sentJson + "}"},
        {AuditNotSent(time, before, sent, "cannot send from lan0: Network is unreachable"),
         head + "\"event\": \"not sent\", " + mac + "\"before\": " + beforeJson + ", \"sent\": " + sentJson +
             ", \"error\": \"cannot send from lan0: Network is unreachable\"}"},
        {AuditAnswer(time, before, DISCOVERY_RESULT_OK),
         head + "\"event\": \"answer\", " + mac + "\"result\": \"Apply\", \"result_code\": 0}"},
        {AuditAnswer(time, before, 5),
         head + "\"event\": \"answer\", " + mac + "\"result\": \"Failed. login failed\", \"result_code\": 5}"},
        {AuditAnswer(time, before, 77),
         head + "\"event\": \"answer\", " + mac + "\"result\": \"result 77\", \"result_code\": 77}"},
        {AuditAnswer(time, before, std::nullopt),
         head + "\"event\": \"answer\", " + mac + "\"result\": \"no answer\", \"result_code\": null}"},
        {AuditUnchanged(time, before), head + "\"event\": \"unchanged\", " + mac + "\"before\": " + beforeJson + "}"},
        {AuditVerified(time, before, true, true, std::vector<MacAddress>{}),
         head + "\"event\": \"verify\", " + mac + "\"verified\": true, \"probed\": true, \"in_use_by\": []}"},
        {AuditVerified(time, before, true, false, std::nullopt),
         head + "\"event\": \"verify\", " + mac + "\"verified\": true, \"probed\": false, \"in_use_by\": null}"},
        {AuditVerified(time, before, false, true,
                       std::vector<MacAddress>{{0x02, 0, 0x5E, 0x10, 0, 7}, {0x02, 0, 0x5E, 0x10, 0, 0xAB}}),
         head + "\"event\": \"verify\", " + mac +
             "\"verified\": false, \"probed\": true, \"in_use_by\": [\"02:00:5E:10:00:07\", \"02:00:5E:10:00:AB\"]}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.line, c.expected);
        EXPECT_EQ(c.line.find('\n'), std::string::npos);
        EXPECT_EQ(c.line.find("s3cret"), std::string::npos);
        EXPECT_EQ(c.line.find(Hex(sent.passwordDigest, 16)), std::string::npos);
        EXPECT_EQ(c.line.find("admin"), std::string::npos) << "no credentials at all";
    }
}

std::string ReadBack(const std::string& path)
{
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[256];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, count);
        std::fclose(file);
    }
    return text;
}

// A run can be cut short at any moment: what is written must not wait in
// the program's buffer for a close that never comes.
TEST(AuditLog, EachLineReachesTheFileAsItIsWritten)
{
    const std::string path = testing::TempDir() + "audit-flush-test.jsonl";
    std::remove(path.c_str());
    {
        AuditLog log;
        std::string error;
        ASSERT_TRUE(log.Open(path, error)) << error;
        EXPECT_TRUE(log.Write("{\"event\": \"sent\"}"));
        EXPECT_EQ(ReadBack(path), "{\"event\": \"sent\"}\n");
        EXPECT_TRUE(log.Write("{\"event\": \"answer\"}"));
        EXPECT_EQ(ReadBack(path), "{\"event\": \"sent\"}\n{\"event\": \"answer\"}\n");
        EXPECT_TRUE(log.Complete());
    }
    std::remove(path.c_str());
    AuditLog nowhere;
    std::string error;
    EXPECT_FALSE(nowhere.Open(testing::TempDir() + "no-such-folder/audit.jsonl", error));
    EXPECT_EQ(error, "No such file or directory") << "the system's reason";
    EXPECT_FALSE(nowhere.Write("{}"));
    EXPECT_FALSE(nowhere.Complete());
}

TEST(AuditLog, BesideThePlanNamedAfterItAndTheTime)
{
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(AuditPath("site/plan.csv", 1705314600, none), "site/plan-20240115T103000Z.audit.jsonl");
    EXPECT_EQ(AuditPath("plan", 1705314600, none), "plan-20240115T103000Z.audit.jsonl");
    EXPECT_EQ(AuditPath("C:\\jobs.v2\\plan.csv", 1705314600, none), "C:\\jobs.v2\\plan-20240115T103000Z.audit.jsonl");
    EXPECT_EQ(AuditPath("./site.d/plan", 1705314600, none), "./site.d/plan-20240115T103000Z.audit.jsonl");
}

TEST(AuditLog, AnEarlierLogOfTheSameSecondIsNotOverwritten)
{
    const std::set<std::string> existing = {"plan-20240115T103000Z.audit.jsonl", "plan-20240115T103000Z-2.audit.jsonl"};
    EXPECT_EQ(AuditPath("plan.csv", 1705314600, [&](const std::string& path) { return existing.count(path) > 0; }),
              "plan-20240115T103000Z-3.audit.jsonl");
}

}  // namespace
