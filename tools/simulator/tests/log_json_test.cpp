// Log lines: datagrams of any length decode as far as they go.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "log_json.h"
#include "md5.h"
#include "sim_device.h"

namespace {

TEST(LogJson, RecordFieldsAsFarAsTheDatagramGoes)
{
    DISCOVERY_DATA record = MakePatternedDevice(0).record;
    record.command = 5;
    record.result = 2;
    std::memcpy(record.macAddress, "ABCDEFGHIJKLMNOPQRSTUVWX", 24);  // no NUL: productName must not leak in
    std::memset(record.firmwareVersion, 'f', 36);
    SetPasswordDigest(record, "admin");
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);

    const std::string whole = DecodeRecord(bytes, sizeof record);
    EXPECT_NE(whole.find("\"command\": 5, \"result\": 2, \"userId\": \"\", \"passwordDigest\": \""), std::string::npos)
        << whole;
    EXPECT_NE(whole.find("\"macAddress\": \"ABCDEFGHIJKLMNOPQRSTUVWX\", \"productName\": \"SimCam-0001\""),
              std::string::npos)
        << whole;
    EXPECT_NE(whole.find("\"firmwareVersion\": \"" + std::string(36, 'f') + "\", \"dhcp\": 0"), std::string::npos)
        << whole;
    EXPECT_NE(whole.find("\"webPort\": 80, \"controlPort\": 30001, \"videoPort\": 30002, \"audioReceivePort\": "
                         "30003, \"audioTransmitPort\": 30004, \"httpsEnabled\": 0}"),
              std::string::npos)
        << whole;
    // The digest of "admin" and its NUL, then 16 zero bytes.
    EXPECT_NE(whole.find("\"passwordDigest\": \"5207500f6ec8592462ccff95f10823f3" + std::string(32, '0') + "\""),
              std::string::npos)
        << whole;

    struct Case {
        std::size_t length;
        const char* lastField;  // null: none
        const char* absentField;
    } const cases[] = {
        {0, nullptr, "\"command\""},
        {3, nullptr, "\"command\""},
        {4, "\"command\": 5}", "\"result\""},
        {95, "\"passwordDigest\"", "\"macAddress\""},
        {96, "\"macAddress\"", "\"productName\""},
        {370, "\"audioTransmitPort\": 30004}", "\"httpsEnabled\""},
    };
    for (const Case& c : cases) {
        const std::string json = DecodeRecord(bytes, c.length);
        EXPECT_EQ(json.front(), '{') << c.length;
        EXPECT_EQ(json.back(), '}') << c.length;
        if (c.lastField)
            EXPECT_NE(json.find(c.lastField), std::string::npos) << c.length << ": " << json;
        else
            EXPECT_EQ(json, "{}");
        EXPECT_EQ(json.find(c.absentField), std::string::npos) << c.length << ": " << json;
    }
}

TEST(LogJson, DatagramAndEventLines)
{
    const unsigned char data[] = {0x03, 0x00, 0x00, 0x00, 0xFF};
    const std::string in = DatagramLine(DatagramLog{12.5, "2024-01-02T03:04:05.000006Z", false, "198.51.100.1", 40013,
                                                    40013, "255.255.255.255", "lan0", std::nullopt, data, 5});
    EXPECT_EQ(in,
              "{\"mono\": 12.500000, \"wall\": \"2024-01-02T03:04:05.000006Z\", \"dir\": \"in\", \"peer\": "
              "\"198.51.100.1\", \"peer_port\": 40013, \"local_port\": 40013, \"local_address\": \"255.255.255.255\", "
              "\"interface\": \"lan0\", \"length\": 5, \"hex\": \"03000000ff\", \"record\": {\"command\": 3}}");
    const std::string out = DatagramLine(DatagramLog{1, "w", true, "198.51.100.1", 40014, 40013, "", "", 7, data, 0});
    EXPECT_NE(out.find("\"dir\": \"out\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"device\": 7, \"length\": 0, \"hex\": \"\", \"record\": {}"), std::string::npos) << out;
    EXPECT_EQ(out.find("local_address"), std::string::npos) << out;

    FarmEvent config{FarmEvent::Kind::Config};
    config.device = 2;
    config.mac = "M\"1";
    config.command = 5;
    config.result = 3;
    config.replies = 1;
    EXPECT_EQ(EventLine(3, "w", config),
              "{\"mono\": 3.000000, \"wall\": \"w\", \"event\": \"config\", \"device\": 2, \"mac\": \"M\\\"1\", "
              "\"command\": 5, \"result\": 3, \"applied\": false, \"forced\": false, \"replies\": 1}");
    FarmEvent none{FarmEvent::Kind::NoMatch};
    none.command = 6;
    none.detail = "AA";
    EXPECT_EQ(EventLine(3, "w", none),
              "{\"mono\": 3.000000, \"wall\": \"w\", \"event\": \"no-match\", \"command\": 6, \"mac\": \"AA\"}");
    FarmEvent quiet{FarmEvent::Kind::Quiet};
    quiet.device = 0;
    quiet.command = 3;
    quiet.detail = "rebooting";
    EXPECT_NE(EventLine(3, "w", quiet)
                  .find("\"event\": \"quiet\", \"device\": 0, \"mac\": \"\", \"command\": 3, "
                        "\"reason\": \"rebooting\""),
              std::string::npos);
    FarmEvent move{FarmEvent::Kind::Move};
    move.device = 3;
    move.mac = "M";
    move.detail = "198.51.100.150";
    EXPECT_EQ(EventLine(4, "w", move),
              "{\"mono\": 4.000000, \"wall\": \"w\", \"event\": \"move\", \"device\": 3, "
              "\"mac\": \"M\", \"ip\": \"198.51.100.150\"}");
    move.kind = FarmEvent::Kind::Leave;
    move.detail.clear();
    EXPECT_EQ(EventLine(4, "w", move),
              "{\"mono\": 4.000000, \"wall\": \"w\", \"event\": \"leave\", \"device\": 3, \"mac\": \"M\"}");
}

}  // namespace
