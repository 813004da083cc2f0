// The audit log holds what was there, what was sent and what came of it,
// and never the password or its digest.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "audit_log.h"
#include "device_commands.h"
#include "record_bytes.h"

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

TEST(AuditLog, OneLineWithoutSecrets)
{
    DISCOVERY_DATA before;
    std::memset(&before, 0, sizeof before);
    PutField(before.macAddress, "00:1A:2B:00:00:01");
    PutField(before.ipAddress, "192.0.2.10");
    before.webPort = 80;
    PanelSettings panel{0, "192.0.2.20", "255.255.255.0", "192.0.2.1", "192.0.2.2", 8080, 1, 2, 3, 4, 0};
    const DISCOVERY_DATA sent = BuildSaveRecord(before, panel, "admin", "s3cret-pass");

    const AuditEntry entry{1705314600, before, sent, DISCOVERY_RESULT_OK, false, true};
    const std::string line = AuditLine(entry);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line.find("s3cret"), std::string::npos);
    EXPECT_EQ(line.find(Hex(sent.passwordDigest, 16)), std::string::npos);
    EXPECT_EQ(line.find("admin"), std::string::npos) << "no credentials at all";
    EXPECT_EQ(line,
              "{\"time\": \"2024-01-15T10:30:00Z\", \"mac\": \"00:1A:2B:00:00:01\", "
              "\"before\": {\"ip\": \"192.0.2.10\", \"mask\": \"\", \"gateway\": \"\", \"dns\": \"\", \"mode\": "
              "\"static\", \"web_port\": 80, \"control_port\": 0, \"video_port\": 0, \"audio_transmit_port\": 0, "
              "\"audio_receive_port\": 0}, "
              "\"sent\": {\"ip\": \"192.0.2.20\", \"mask\": \"255.255.255.0\", \"gateway\": \"192.0.2.1\", \"dns\": "
              "\"192.0.2.2\", \"mode\": \"static\", \"web_port\": 8080, \"control_port\": 1, \"video_port\": 2, "
              "\"audio_transmit_port\": 3, \"audio_receive_port\": 4}, "
              "\"result\": \"Apply\", \"result_code\": 0, \"verified\": true}");

    const struct {
        std::optional<DISCOVERY_DATA> sent;
        std::optional<std::uint32_t> result;
        const char* says;
    } outcomes[] = {
        {std::nullopt, std::nullopt, "\"sent\": null, \"result\": \"unchanged\", \"result_code\": null"},
        {sent, std::nullopt, "\"result\": \"no answer\", \"result_code\": null"},
        {sent, 5, "\"result\": \"Failed. login failed\", \"result_code\": 5"},
        {sent, 77, "\"result\": \"result 77\", \"result_code\": 77"},
    };
    for (const auto& outcome : outcomes) {
        const std::string text = AuditLine({1705314600, before, outcome.sent, outcome.result, false, false});
        EXPECT_NE(text.find(outcome.says), std::string::npos) << text;
        EXPECT_NE(text.find("\"verified\": false"), std::string::npos) << text;
    }
    const std::string unsent = AuditLine({1705314600, before, sent, std::nullopt, true, false});
    EXPECT_NE(unsent.find("\"result\": \"not sent\", \"result_code\": null"), std::string::npos) << unsent;
}

TEST(AuditLog, BesideThePlanNamedAfterItAndTheTime)
{
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(AuditPath("site/plan.csv", 1705314600, none), "site/plan-20240115T103000Z.audit.jsonl");
    EXPECT_EQ(AuditPath("plan", 1705314600, none), "plan-20240115T103000Z.audit.jsonl");
    EXPECT_EQ(AuditPath("C:\\jobs.v2\\plan.csv", 1705314600, none), "C:\\jobs.v2\\plan-20240115T103000Z.audit.jsonl");
    EXPECT_EQ(AuditPath("./site.d/plan", 1705314600, none), "./site.d/plan-20240115T103000Z.audit.jsonl");
    EXPECT_EQ(UtcTime(0), "1970-01-01T00:00:00Z");
}

TEST(AuditLog, AnEarlierLogOfTheSameSecondIsNotOverwritten)
{
    const std::set<std::string> existing = {"plan-20240115T103000Z.audit.jsonl", "plan-20240115T103000Z-2.audit.jsonl"};
    EXPECT_EQ(AuditPath("plan.csv", 1705314600, [&](const std::string& path) { return existing.count(path) > 0; }),
              "plan-20240115T103000Z-3.audit.jsonl");
}

}  // namespace
