// Reading back the JSON nwctl wrote (audit logs): exactly what was written,
// and anything else refused with where and why, never a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "io/json.h"
#include "io/json_reading.h"
#include "record_bytes.h"
#include "rules/audit_log.h"
#include "rules/audit_reading.h"

namespace {

TEST(JsonReading, ReadsWhatJsonStringWrites)
{
    std::string every;
    for (int byte = 0; byte < 256; ++byte)
        every += static_cast<char>(byte);
    JsonValue value;
    std::string error;
    ASSERT_TRUE(ParseJson(JsonString(every), value, error)) << error;
    EXPECT_EQ(value.text, every) << "each byte comes back as it was";

    ASSERT_TRUE(
        ParseJson(" {\"a\": [1, -2.5e3, true, false, null, \"\\u00e9\\ud83d\\ude00\\n\"], \"a\": {}} ", value, error))
        << error;
    ASSERT_EQ(value.kind, JsonValue::Kind::Object);
    ASSERT_NE(value.Member("a"), nullptr);
    EXPECT_EQ(value.Member("a")->kind, JsonValue::Kind::Object) << "a repeated key keeps its last value";
    ASSERT_TRUE(ParseJson("[1, -2.5e3, true, null, \"\\u00e9\\ud83d\\ude00\"]", value, error)) << error;
    ASSERT_EQ(value.items.size(), 5u);
    EXPECT_EQ(value.items[1].text, "-2.5e3");
    EXPECT_TRUE(value.items[2].boolean);
    EXPECT_EQ(value.items[4].text, "\xE9\xF0\x9F\x98\x80") << "U+00E9 as its byte, U+1F600 as UTF-8";
}

TEST(JsonReading, RefusesWhatIsNotJson)
{
    const struct {
        std::string text;
        const char* says;
    } cases[] = {
        {"", "ends where a value should be"},
        {"   ", "ends where a value should be"},
        {"{", "without a quoted name"},
        {"{\"a\" 1}", "without : after its name"},
        {"{\"a\": }", "not a JSON value"},
        {"{\"a\": 1,}", "without a quoted name"},
        {"{\"a\": 1 \"b\": 2}", "without , or }"},
        {"[1,]", "not a JSON value"},
        {"[1 2]", "without , or ]"},
        {"\"open", "never closed"},
        {"\"tab\there\"", "control character"},
        {"\"\\x41\"", "unknown escape"},
        {"\"\\u12\"", "four hex digits"},
        {"\"\\ud800\"", "surrogate"},
        {"\"\\udc00\\ud800\"", "surrogate"},
        {"\"\xC3\"", "not UTF-8"},
        {"\"\xC0\x80\"", "not UTF-8"},
        {"\"\xED\xA0\x80\"", "not UTF-8"},
        {"\"\xFF\"", "not UTF-8"},
        {"tru", "not a JSON value"},
        {"-", "not a JSON value"},
        {"1.", "without digits"},
        {"1e", "without digits"},
        {"{} {}", "more after the value"},
        {std::string(100000, '['), "nested too deep"},
        {std::string("{\"a\": \"b\0\"}", 11), "control character"},
    };
    for (const auto& c : cases) {
        JsonValue value;
        std::string error;
        EXPECT_FALSE(ParseJson(c.text, value, error)) << c.text.substr(0, 40);
        EXPECT_NE(error.find(c.says), std::string::npos) << c.text.substr(0, 40) << " said: " << error;
        EXPECT_NE(error.find(" at byte "), std::string::npos) << error;
    }
}

DISCOVERY_DATA Record(const std::string& mac, const std::string& ip, std::uint32_t webPort)
{
    DISCOVERY_DATA record;
    std::memset(&record, 0, sizeof record);
    PutField(record.macAddress, mac);
    PutField(record.ipAddress, ip);
    PutField(record.subnetMask, "255.255.255.0");
    record.webPort = webPort;
    return record;
}

TEST(AuditReading, EachDeviceWithWhatItHadWhatWasSentAndWhatCameOfIt)
{
    const std::time_t time = 1705314600;
    const DISCOVERY_DATA one = Record("00:1A:2B:00:00:01", "192.0.2.10", 80);
    const DISCOVERY_DATA oneSent = Record("00:1A:2B:00:00:01", "192.0.2.20", 8080);
    const DISCOVERY_DATA two = Record("00:1A:2B:00:00:02", "192.0.2.11", 80);
    const DISCOVERY_DATA three = Record("<b>\xFF", "192.0.2.12", 80);
    const std::string log =
        AuditSent(time, one, oneSent) + "\n" + AuditAnswer(time + 1, one, 0) + "\r\n" +
        AuditNotSent(time + 2, two, oneSent, "no route") + "\n\n" + AuditUnchanged(time + 3, three) + "\n" +
        AuditVerified(time + 4, one, true, true, std::vector<MacAddress>{}) + "\n" +
        AuditVerified(time + 4, three, false, true, std::vector<MacAddress>{{2, 0, 0x5E, 0x10, 0, 7}}) + "\n" +
        AuditSent(time + 5, two, oneSent) + "\n" + AuditVerified(time + 6, two, true, false, std::nullopt) + "\n";
    std::vector<AuditChange> changes;
    std::vector<std::string> problems;
    ReadAuditLog("site.audit.jsonl", log, changes, problems);
    EXPECT_EQ(problems, std::vector<std::string>{});
    ASSERT_EQ(changes.size(), 4u);

    EXPECT_EQ(changes[0].log, "site.audit.jsonl");
    EXPECT_EQ(changes[0].mac, "00:1A:2B:00:00:01");
    EXPECT_EQ(changes[0].time, "2024-01-15T10:30:00Z");
    EXPECT_EQ(changes[0].event, "sent");
    ASSERT_EQ(changes[0].changes.size(), 2u);
    EXPECT_EQ(changes[0].changes[0].setting, Setting::Ip);
    EXPECT_EQ(changes[0].changes[0].from, "192.0.2.10");
    EXPECT_EQ(changes[0].changes[0].to, "192.0.2.20");
    EXPECT_EQ(changes[0].changes[1].setting, Setting::WebPort);
    EXPECT_EQ(changes[0].changes[1].to, "8080");
    EXPECT_EQ(changes[0].result, "Apply");
    EXPECT_EQ(changes[0].verified, true);
    EXPECT_EQ(changes[0].probed, true);

    EXPECT_EQ(changes[1].event, "not sent");
    EXPECT_EQ(changes[1].error, "no route");
    EXPECT_FALSE(changes[1].result);
    EXPECT_FALSE(changes[1].verified);

    EXPECT_EQ(changes[2].mac, "<b>\xFF") << "the MAC text's bytes as the device sent them";
    EXPECT_EQ(changes[2].event, "unchanged");
    EXPECT_TRUE(changes[2].changes.empty());
    EXPECT_EQ(changes[2].verified, false);
    EXPECT_EQ(changes[2].probed, true);

    EXPECT_EQ(changes[3].verified, true) << "verified where it could be";
    EXPECT_EQ(changes[3].probed, false) << "but its address not probed";
}

TEST(AuditReading, AnOlderLogWithoutProbedTellsItByInUseBy)
{
    const std::string log =
        "{\"event\": \"sent\", \"mac\": \"00:1A:2B:00:00:01\"}\n"
        "{\"event\": \"verify\", \"mac\": \"00:1A:2B:00:00:01\", \"verified\": true, \"in_use_by\": null}\n"
        "{\"event\": \"sent\", \"mac\": \"00:1A:2B:00:00:02\"}\n"
        "{\"event\": \"verify\", \"mac\": \"00:1A:2B:00:00:02\", \"verified\": true, \"in_use_by\": []}\n"
        "{\"event\": \"sent\", \"mac\": \"00:1A:2B:00:00:03\"}\n"
        "{\"event\": \"verify\", \"mac\": \"00:1A:2B:00:00:03\", \"verified\": true}\n"
        "{\"event\": \"sent\", \"mac\": \"00:1A:2B:00:00:04\"}\n"
        "{\"event\": \"verify\", \"mac\": \"00:1A:2B:00:00:04\", \"verified\": true, \"probed\": \"no\", "
        "\"in_use_by\": []}\n";
    std::vector<AuditChange> changes;
    std::vector<std::string> problems;
    ReadAuditLog("old.audit.jsonl", log, changes, problems);
    EXPECT_EQ(problems, std::vector<std::string>{});
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[0].probed, false);
    EXPECT_EQ(changes[1].probed, true);
    EXPECT_EQ(changes[2].probed, std::nullopt) << "nothing said of it";
    EXPECT_EQ(changes[3].probed, true) << "a probed that is no true or false is passed over";
}

TEST(AuditReading, AnInterruptedRunShowsTheDevicesItNeverReached)
{
    const DISCOVERY_DATA one = Record("00:1A:2B:00:00:01", "192.0.2.10", 80);
    const DISCOVERY_DATA two = Record("00:1A:2B:00:00:02", "192.0.2.11", 80);
    const MacAddress twoMac{0x00, 0x1A, 0x2B, 0, 0, 2};
    const MacAddress threeMac{0x00, 0x1A, 0x2B, 0, 0, 3};
    const std::string log =
        AuditSent(0, one, one) + "\n" + AuditAnswer(0, one, 1) + "\n" +
        AuditHeldBack(0, two, two, "00:1A:2B:00:00:01 has not left 192.0.2.10", "00:1A:2B:00:00:01") + "\n" +
        AuditInterrupted(1705314600, 0, 3, {twoMac, threeMac}) + "\n";
    std::vector<AuditChange> changes;
    std::vector<std::string> problems;
    ReadAuditLog("cut.jsonl", log, changes, problems);
    EXPECT_EQ(problems, std::vector<std::string>{});
    ASSERT_EQ(changes.size(), 3u) << "the held-back device once, by its own line";
    EXPECT_EQ(changes[1].event, "not sent");
    EXPECT_EQ(changes[1].error, "00:1A:2B:00:00:01 has not left 192.0.2.10");
    EXPECT_EQ(changes[2].mac, "00:1A:2B:00:00:03");
    EXPECT_EQ(changes[2].event, "interrupted");
    EXPECT_EQ(changes[2].time, "2024-01-15T10:30:00Z");
    EXPECT_EQ(changes[2].error, "the run was interrupted before its Save");

    changes.clear();
    ReadAuditLog("cut.jsonl", "{\"event\": \"interrupted\", \"not_sent\": 3}\n", changes, problems);
    EXPECT_TRUE(changes.empty());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "cut.jsonl: line 1: an interruption without the list of devices not sent, skipped");
}

TEST(AuditReading, LinesThatAreNoAuditLinesAreNamedAndSkipped)
{
    const DISCOVERY_DATA one = Record("00:1A:2B:00:00:01", "192.0.2.10", 80);
    const std::string sent = AuditSent(0, one, one);
    const struct {
        std::string line;
        const char* says;
    } cases[] = {
        {"garbage", "not JSON (not a JSON value at byte 1)"},
        {sent.substr(0, sent.size() / 2), "not JSON"},
        {"[1, 2]", "not an audit line"},
        {"{\"event\": \"sent\"}", "not an audit line"},
        {"{\"event\": 5, \"mac\": \"x\"}", "not an audit line"},
        {"{\"event\": \"reboot\", \"mac\": \"00:1A:2B:00:00:01\"}", "an event it does not know, \"reboot\""},
        {"{\"event\": \"answer\", \"mac\": \"00:1A:2B:00:00:09\"}",
         "for 00:1A:2B:00:00:09, which nothing before it sent"},
        {"{\"event\": \"verify\", \"mac\": \"00:1A:2B:00:00:01\", \"verified\": \"yes\"}", "without true or false"},
    };
    for (const auto& c : cases) {
        std::vector<AuditChange> changes;
        std::vector<std::string> problems;
        ReadAuditLog("a.jsonl", sent + "\n" + c.line + "\n", changes, problems);
        EXPECT_EQ(changes.size(), 1u) << c.line << ": the good line is kept";
        ASSERT_EQ(problems.size(), 1u) << c.line;
        EXPECT_EQ(problems[0].rfind("a.jsonl: line 2: ", 0), 0u) << problems[0];
        EXPECT_NE(problems[0].find(c.says), std::string::npos) << problems[0];
        EXPECT_NE(problems[0].find("skipped"), std::string::npos) << problems[0];
    }
    // An answer is matched within its own log only.
    std::vector<AuditChange> changes;
    std::vector<std::string> problems;
    ReadAuditLog("first.jsonl", sent + "\n", changes, problems);
    ReadAuditLog("second.jsonl", AuditAnswer(0, one, 0) + "\n", changes, problems);
    EXPECT_FALSE(changes[0].result);
    EXPECT_EQ(problems.size(), 1u);
}

}  // namespace
