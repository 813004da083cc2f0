// What the simulated devices answer, when, and how they change.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "device_farm.h"
#include "device_settings.h"
#include "ipv4_text.h"
#include "md5.h"
#include "text_field.h"

namespace {

constexpr std::uint32_t kOperator = (198u << 24) | (51u << 16) | (100u << 8) | 1u;

SimDevice Device(std::size_t index, const std::string& settings = "")
{
    SimDevice device = MakePatternedDevice(index);
    std::string error;
    if (!settings.empty() && !ApplyDeviceSettingList(device, settings, error))
        ADD_FAILURE() << settings << ": " << error;
    return device;
}

DISCOVERY_DATA Request(std::uint32_t command, const std::string& mac = "", const std::string& user = "admin",
                       const std::string& password = "admin")
{
    DISCOVERY_DATA request{};
    if (command != DISCOVERY_CMD_SEARCH) {
        request = MakePatternedDevice(0).record;
        std::memset(request.macAddress, 0, sizeof request.macAddress);
        std::memcpy(request.macAddress, mac.data(), std::min(mac.size(), sizeof request.macAddress));
        WriteTextField(request.userId, user);
        SetPasswordDigest(request, password);
    }
    request.command = command;
    return request;
}

// A farm with a clock the test moves.
class Farm {
public:
    explicit Farm(std::vector<SimDevice> devices, FarmOptions options = {}, double start = 0)
        : farm_(std::move(devices), options, start)
    {
    }

    void Hear(const DISCOVERY_DATA& request, double at)
    {
        farm_.Hear(reinterpret_cast<const unsigned char*>(&request), sizeof request, kOperator, at);
    }
    void HearBytes(const std::string& bytes, double at)
    {
        farm_.Hear(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), kOperator, at);
    }

    // Takes what is due by `at` and sorts it into datagrams and events.
    void Until(double at)
    {
        sent.clear();
        sentAt.clear();
        events.clear();
        for (FarmOutput& output : farm_.TakeDue(at)) {
            if (auto* datagram = std::get_if<OutgoingDatagram>(&output.what)) {
                sent.push_back(*datagram);
                sentAt.push_back(output.due);
            } else {
                events.push_back(std::get<FarmEvent>(output.what));
            }
        }
    }

    std::vector<std::string> SentMacs() const
    {
        std::vector<std::string> macs;
        for (const OutgoingDatagram& d : sent)
            macs.push_back(ReadTextField(d.record.macAddress));
        return macs;
    }

    const FarmEvent* Event(FarmEvent::Kind kind) const
    {
        for (const FarmEvent& e : events) {
            if (e.kind == kind)
                return &e;
        }
        return nullptr;
    }

    DeviceFarm farm_;
    std::vector<OutgoingDatagram> sent;
    std::vector<double> sentAt;
    std::vector<FarmEvent> events;
};

TEST(Farm, SearchGetsEachDevicesRecord)
{
    std::vector<SimDevice> devices = {Device(0),
                                      Device(1, "result=9,mac.hex=4142434445464748494a4b4c4d4e4f505152535455565758"),
                                      Device(2, "productName=")};
    Farm farm(devices);
    farm.Hear(Request(DISCOVERY_CMD_SEARCH), 10);
    farm.Until(10);
    ASSERT_EQ(farm.sent.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const OutgoingDatagram& d = farm.sent[i];
        EXPECT_EQ(d.device, i);
        EXPECT_EQ(d.toAddress, kOperator);
        EXPECT_EQ(d.record.command, DISCOVERY_CMD_SEARCH_REPLY);
        DISCOVERY_DATA expected = devices[i].record;
        expected.command = DISCOVERY_CMD_SEARCH_REPLY;
        EXPECT_EQ(0, std::memcmp(&d.record, &expected, sizeof expected)) << "device " << i;
    }
    EXPECT_EQ(farm.sent[1].record.result, 9u);
    EXPECT_EQ(ReadTextField(farm.sent[1].record.macAddress), "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_TRUE(farm.events.empty());
    EXPECT_FALSE(farm.farm_.NextDue());
}

TEST(Farm, ReplyTimes)
{
    struct Case {
        const char* name;
        FarmOptions options;
        std::vector<std::string> settings;  // one per device
        std::vector<double> due;            // of the replies, in the order they leave
    } const cases[] = {
        {"burst", {}, {"", "", ""}, {10, 10, 10}},
        {"global delay", {.delay = 0.5}, {"", ""}, {10.5, 10.5}},
        {"late device after the search has ended", {.delay = 0.5}, {"", "delay=6"}, {10.5, 16}},
        {"spread over a second", {.spread = 1}, {"", "", "", ""}, {10, 10.25, 10.5, 10.75}},
        {"spread after a delay", {.delay = 2, .spread = 1}, {"", ""}, {12, 12.5}},
        {"repeats leave together", {}, {"repeat=3", "delay=1"}, {10, 10, 10, 11}},
    };
    for (const Case& c : cases) {
        std::vector<SimDevice> devices;
        for (const std::string& s : c.settings)
            devices.push_back(Device(devices.size(), s));
        Farm farm(devices, c.options);
        farm.Hear(Request(DISCOVERY_CMD_SEARCH), 10);
        std::vector<double> due;
        while (auto next = farm.farm_.NextDue()) {
            farm.Until(*next - 1e-9);
            EXPECT_TRUE(farm.sent.empty()) << c.name << ": sent before its time";
            farm.Until(*next);
            due.insert(due.end(), farm.sentAt.begin(), farm.sentAt.end());
        }
        EXPECT_EQ(due, c.due) << c.name;
    }
}

TEST(Farm, DevicesThatAnswerLessOrMore)
{
    Farm farm({Device(0, "answers=2"), Device(1, "silent=1"), Device(2, "repeat=2"), Device(3, "repeat=0")});
    std::vector<std::size_t> replies(4, 0);
    for (int search = 0; search < 5; ++search) {
        farm.Hear(Request(DISCOVERY_CMD_SEARCH), search);
        farm.Until(search);
        for (const OutgoingDatagram& d : farm.sent)
            ++replies[d.device];
        if (search == 4) {
            std::vector<std::string> reasons;
            for (const FarmEvent& e : farm.events)
                reasons.push_back(std::to_string(*e.device) + ": " + e.detail);
            EXPECT_EQ(reasons, (std::vector<std::string>{"0: answers only its first 2 searches", "1: silent",
                                                         "3: repeat is 0"}));
        }
    }
    EXPECT_EQ(replies, (std::vector<std::size_t>{2, 0, 10, 0}));
}

TEST(Farm, BroadcastReplies)
{
    Farm farm({Device(0), Device(1, "broadcast=0"), Device(2, "broadcast=1")}, {.broadcastReplies = true});
    farm.Hear(Request(DISCOVERY_CMD_SEARCH), 0);
    farm.Hear(Request(DISCOVERY_CMD_SET_CONFIG, "00:1A:2B:00:00:02"), 0);
    farm.Until(0);
    ASSERT_EQ(farm.sent.size(), 4u);
    EXPECT_EQ(farm.sent[0].toAddress, kBroadcastAddress);
    EXPECT_EQ(farm.sent[1].toAddress, kOperator);
    EXPECT_EQ(farm.sent[2].toAddress, kBroadcastAddress);
    EXPECT_EQ(farm.sent[3].toAddress, kOperator) << "the apply reply of device 1";

    Farm plain({Device(0, "broadcast=1"), Device(1)});
    plain.Hear(Request(DISCOVERY_CMD_SEARCH), 0);
    plain.Until(0);
    ASSERT_EQ(plain.sent.size(), 2u);
    EXPECT_EQ(plain.sent[0].toAddress, kBroadcastAddress);
    EXPECT_EQ(plain.sent[1].toAddress, kOperator);
}

TEST(Farm, ConfigurationVerdicts)
{
    const std::string mac = "00:1A:2B:00:00:01";
    struct Case {
        const char* name;
        std::string settings;
        DISCOVERY_DATA request;
        std::uint32_t result;
        bool applied;
        std::size_t replies;
    };
    DISCOVERY_DATA valid = Request(DISCOVERY_CMD_SET_CONFIG, mac);
    WriteTextField(valid.ipAddress, "198.51.100.77");
    valid.webPort = 8080;
    valid.dhcp = 1;
    valid.httpsEnabled = 1;
    DISCOVERY_DATA badPort = valid;
    badPort.videoPort = badPort.webPort;
    DISCOVERY_DATA wrongUser = valid;
    WriteTextField(wrongUser.userId, "ADMIN");
    const Case cases[] = {
        {"valid", "", valid, DISCOVERY_RESULT_OK, true, 1},
        {"wrong password", "", Request(DISCOVERY_CMD_SET_CONFIG, mac, "admin", "nimda"), DISCOVERY_RESULT_LOGIN_FAILED,
         false, 1},
        {"wrong user", "", wrongUser, DISCOVERY_RESULT_LOGIN_FAILED, false, 1},
        {"device's own password", "password=secret", valid, DISCOVERY_RESULT_LOGIN_FAILED, false, 1},
        {"invalid port", "", badPort, DISCOVERY_RESULT_INVALID_PORT, false, 1},
        {"forced result on valid settings", "applyResult=1", valid, DISCOVERY_RESULT_FAILED, false, 1},
        {"forced result beyond the known codes", "applyResult=6", valid, 6, false, 1},
        {"never answers", "applyCount=0", valid, DISCOVERY_RESULT_OK, true, 0},
        {"silent device still takes the settings", "silent=1", valid, DISCOVERY_RESULT_OK, true, 0},
        {"answers twice", "applyCount=2", valid, DISCOVERY_RESULT_OK, true, 2},
    };
    for (const Case& c : cases) {
        Farm farm({Device(0, c.settings), Device(1)});
        const DISCOVERY_DATA before = farm.farm_.Current(0);
        farm.Hear(c.request, 0);
        farm.Until(0);
        const FarmEvent* verdict = farm.Event(FarmEvent::Kind::Config);
        ASSERT_NE(verdict, nullptr) << c.name;
        EXPECT_EQ(verdict->device, 0u) << c.name;
        EXPECT_EQ(verdict->result, c.result) << c.name;
        EXPECT_EQ(verdict->applied, c.applied) << c.name;
        ASSERT_EQ(farm.sent.size(), c.replies) << c.name;
        for (const OutgoingDatagram& reply : farm.sent) {
            EXPECT_EQ(reply.record.command, DISCOVERY_CMD_SET_CONFIG) << c.name;
            EXPECT_EQ(reply.record.result, c.result) << c.name;
            EXPECT_EQ(ReadTextField(reply.record.macAddress), mac) << c.name;
            EXPECT_EQ(reply.toAddress, kOperator) << c.name;
        }
        // The next search reply shows the settings the device holds now.
        farm.Hear(Request(DISCOVERY_CMD_SEARCH), 1);
        farm.Until(1);
        ASSERT_FALSE(farm.sent.empty()) << c.name;
        const DISCOVERY_DATA& now = farm.farm_.Current(0);
        if (c.applied) {
            EXPECT_EQ(ReadTextField(now.ipAddress), "198.51.100.77") << c.name;
            EXPECT_EQ(now.webPort, 8080) << c.name;
            EXPECT_EQ(now.dhcp, 1u) << c.name;
            EXPECT_EQ(now.httpsEnabled, 1) << c.name;
            EXPECT_EQ(ReadTextField(now.productName), ReadTextField(before.productName)) << c.name;
        } else {
            EXPECT_EQ(0, std::memcmp(&now, &before, sizeof now)) << c.name;
        }
    }
}

TEST(Farm, ConfigurationReplyWithAnotherMacLaterOn)
{
    Farm farm({Device(0, "applyMac=11:22:33:44:55:66,applyDelay=7")});
    farm.Hear(Request(DISCOVERY_CMD_SET_CONFIG, "00:1A:2B:00:00:01"), 1);
    farm.Until(7.9);
    EXPECT_TRUE(farm.sent.empty());
    ASSERT_NE(farm.Event(FarmEvent::Kind::Config), nullptr) << "the verdict is logged when it is made";
    farm.Until(8);
    EXPECT_EQ(farm.SentMacs(), (std::vector<std::string>{"11:22:33:44:55:66"}));
}

TEST(Farm, RequestsGoByTheExactMacText)
{
    Farm farm({Device(0, "mac=aa:bb:cc:dd:ee:ff"), Device(1, "mac=AA:BB:CC:DD:EE:FF"),
               Device(2, "mac=ABCDEFGHIJKLMNOPQRSTUVWX"), Device(3, "mac="), Device(4, "mac=AA:BB:CC:DD:EE:FF")});
    struct Case {
        std::string mac;
        std::vector<std::size_t> devices;
    } const cases[] = {
        {"AA:BB:CC:DD:EE:FF", {1, 4}},     {"aa:bb:cc:dd:ee:ff", {0}},
        {"ABCDEFGHIJKLMNOPQRSTUVWX", {2}},  // 24 bytes, no NUL in the field
        {"ABCDEFGHIJKLMNOPQRSTUVW", {}},   {"", {3}},
        {"AA:BB:CC:DD:EE:F", {}},
    };
    for (const Case& c : cases) {
        farm.Hear(Request(DISCOVERY_CMD_SET_CONFIG, c.mac, "admin", "wrong"), 0);
        farm.Until(0);
        std::vector<std::size_t> answered;
        for (const OutgoingDatagram& d : farm.sent)
            answered.push_back(d.device);
        EXPECT_EQ(answered, c.devices) << c.mac;
        if (c.devices.empty()) {
            const FarmEvent* none = farm.Event(FarmEvent::Kind::NoMatch);
            ASSERT_NE(none, nullptr) << c.mac;
            EXPECT_EQ(none->detail, c.mac);
        }
    }
}

TEST(Farm, RebootSilenceAndReturn)
{
    Farm farm({Device(0, "rebootTime=3"), Device(1)}, {.rebootTime = 30});
    farm.Hear(Request(DISCOVERY_CMD_REBOOT, "00:1A:2B:00:00:01"), 10);
    farm.Until(10);
    ASSERT_NE(farm.Event(FarmEvent::Kind::Reboot), nullptr);
    EXPECT_EQ(farm.Event(FarmEvent::Kind::Reboot)->until, 13);
    EXPECT_TRUE(farm.sent.empty()) << "a reboot is not answered";

    farm.Hear(Request(DISCOVERY_CMD_SEARCH), 11);
    farm.Hear(Request(DISCOVERY_CMD_SET_CONFIG, "00:1A:2B:00:00:01"), 11);
    farm.Hear(Request(DISCOVERY_CMD_REBOOT, "00:1A:2B:00:00:01"), 11);
    farm.Until(11);
    EXPECT_EQ(farm.SentMacs(), (std::vector<std::string>{"00:1A:2B:00:00:02"}));
    std::size_t quiet = 0;
    for (const FarmEvent& e : farm.events)
        quiet += e.kind == FarmEvent::Kind::Quiet && e.device == 0u && e.detail == "rebooting";
    EXPECT_EQ(quiet, 3u);

    farm.Until(12.999);
    EXPECT_TRUE(farm.events.empty());
    farm.Until(13);
    ASSERT_NE(farm.Event(FarmEvent::Kind::Back), nullptr);
    EXPECT_EQ(farm.Event(FarmEvent::Kind::Back)->device, 0u);
    farm.Hear(Request(DISCOVERY_CMD_SEARCH), 13);
    farm.Until(13);
    EXPECT_EQ(farm.SentMacs(), (std::vector<std::string>{"00:1A:2B:00:00:01", "00:1A:2B:00:00:02"}));
}

TEST(Farm, RestartsWithWrongCredentialsAreIgnored)
{
    Farm farm({Device(0)});
    for (std::uint32_t command : {DISCOVERY_CMD_REBOOT, DISCOVERY_CMD_FACTORY_RESET}) {
        farm.Hear(Request(command, "00:1A:2B:00:00:01", "admin", "guess"), 0);
        farm.Hear(Request(DISCOVERY_CMD_SEARCH), 0);
        farm.Until(0);
        ASSERT_NE(farm.Event(FarmEvent::Kind::Refused), nullptr) << command;
        EXPECT_EQ(farm.Event(FarmEvent::Kind::Refused)->command, command);
        EXPECT_EQ(farm.sent.size(), 1u) << "only the search reply";
        EXPECT_FALSE(farm.farm_.NextDue()) << "no wake-up pending";
    }
}

TEST(Farm, FactoryResetRestoresTheFirstSettings)
{
    Farm farm({Device(0, "ip=198.51.100.9,result=3")}, {.rebootTime = 2});
    const DISCOVERY_DATA first = farm.farm_.Current(0);
    DISCOVERY_DATA change = Request(DISCOVERY_CMD_SET_CONFIG, "00:1A:2B:00:00:01");
    WriteTextField(change.ipAddress, "198.51.100.50");
    change.controlPort = 4000;
    farm.Hear(change, 0);
    farm.Until(0);
    ASSERT_EQ(farm.sent.size(), 1u);
    ASSERT_EQ(farm.sent[0].record.result, DISCOVERY_RESULT_OK);

    farm.Hear(Request(DISCOVERY_CMD_REBOOT, "00:1A:2B:00:00:01"), 1);
    farm.Until(3);
    EXPECT_EQ(ReadTextField(farm.farm_.Current(0).ipAddress), "198.51.100.50") << "a reboot keeps the settings";

    farm.Hear(Request(DISCOVERY_CMD_FACTORY_RESET, "00:1A:2B:00:00:01"), 4);
    farm.Until(5.9);
    ASSERT_NE(farm.Event(FarmEvent::Kind::FactoryReset), nullptr);
    EXPECT_EQ(farm.Event(FarmEvent::Kind::Back), nullptr);
    farm.Until(6);
    ASSERT_NE(farm.Event(FarmEvent::Kind::Back), nullptr);
    farm.Hear(Request(DISCOVERY_CMD_SEARCH), 6);
    farm.Until(6);
    ASSERT_EQ(farm.sent.size(), 1u);
    DISCOVERY_DATA expected = first;
    expected.command = DISCOVERY_CMD_SEARCH_REPLY;
    EXPECT_EQ(0, std::memcmp(&farm.sent[0].record, &expected, sizeof expected));
}

TEST(Farm, DatagramsThatAreNotRequests)
{
    const DISCOVERY_DATA search = Request(DISCOVERY_CMD_SEARCH);
    const std::string whole(reinterpret_cast<const char*>(&search), sizeof search);
    struct Case {
        std::string bytes;
        const char* reason;
    } const cases[] = {
        {"", "length 0, not 371"},
        {whole.substr(0, 4), "length 4, not 371"},
        {whole.substr(0, 370), "length 370, not 371"},
        {whole + '\0', "length 372, not 371"},
        {whole + std::string(29, '\0'), "length 400, not 371"},
        {"\x04" + whole.substr(1), "command 4 is not a request"},
        {std::string(1, '\0') + whole.substr(1), "command 0 is not a request"},
        {"\x08" + whole.substr(1), "command 8 is not a request"},
        {"\x03\x01" + whole.substr(2), "command 259 is not a request"},
    };
    Farm farm({Device(0), Device(1)});
    for (const Case& c : cases) {
        farm.HearBytes(c.bytes, 0);
        farm.Until(0);
        EXPECT_TRUE(farm.sent.empty()) << c.reason;
        ASSERT_EQ(farm.events.size(), 1u) << c.reason;
        EXPECT_EQ(farm.events[0].kind, FarmEvent::Kind::Ignored);
        EXPECT_EQ(farm.events[0].detail, c.reason);
    }
}

TEST(Farm, DevicesArriveLeaveAndMoveOnTheirTimeline)
{
    // Serving began at 100: the keys count from there.
    Farm farm({Device(0), Device(1, "appearAt=3"), Device(2, "leaveAt=2,rejoinAt=6"),
               Device(3, "moveAt=4,moveTo=198.51.100.50,moveBackAt=8"), Device(4, "appearAt=1,leaveAt=5")},
              {}, 100);
    struct Pass {
        double at;
        std::vector<std::string> answering;  // the MACs, each with the address it answers from
    } const passes[] = {
        {100, {"01 .100", "03 .102", "04 .103"}},
        {101, {"01 .100", "03 .102", "04 .103", "05 .104"}},
        {102, {"01 .100", "04 .103", "05 .104"}},
        {103, {"01 .100", "02 .101", "04 .103", "05 .104"}},
        {104, {"01 .100", "02 .101", "04 .50", "05 .104"}},
        {105, {"01 .100", "02 .101", "04 .50"}},
        {106, {"01 .100", "02 .101", "03 .102", "04 .50"}},
        {108, {"01 .100", "02 .101", "03 .102", "04 .103"}},
        {500, {"01 .100", "02 .101", "03 .102", "04 .103"}},
    };
    for (const Pass& pass : passes) {
        farm.Hear(Request(DISCOVERY_CMD_SEARCH), pass.at);
        farm.Until(pass.at);
        std::vector<std::string> answering;
        for (const OutgoingDatagram& d : farm.sent) {
            const std::string mac = ReadTextField(d.record.macAddress);
            const std::string ip = ReadTextField(d.record.ipAddress);
            answering.push_back(mac.substr(mac.size() - 2) + " " + ip.substr(ip.rfind('.')));
        }
        EXPECT_EQ(answering, pass.answering) << "at " << pass.at;
    }
}

TEST(Farm, TimelineEventsAtTheirTimeAndAwayDevicesHearNothing)
{
    Farm farm({Device(0, "appearAt=2,moveAt=3,moveTo=198.51.100.9")}, {}, 10);
    EXPECT_EQ(farm.farm_.NextDue(), 12.0) << "the loop wakes for the arrival";
    farm.Hear(Request(DISCOVERY_CMD_SET_CONFIG, "00:1A:2B:00:00:01"), 11);
    farm.Hear(Request(DISCOVERY_CMD_REBOOT, "00:1A:2B:00:00:01"), 11);
    farm.Until(11);
    EXPECT_TRUE(farm.sent.empty());
    ASSERT_EQ(farm.events.size(), 2u);
    for (const FarmEvent& e : farm.events) {
        EXPECT_EQ(e.kind, FarmEvent::Kind::Quiet);
        EXPECT_EQ(e.detail, "away");
    }

    farm.Until(13);
    ASSERT_EQ(farm.events.size(), 2u);
    EXPECT_EQ(farm.events[0].kind, FarmEvent::Kind::Arrive);
    EXPECT_EQ(farm.events[1].kind, FarmEvent::Kind::Move);
    EXPECT_EQ(farm.events[1].detail, "198.51.100.9");
    EXPECT_EQ(farm.events[1].mac, "00:1A:2B:00:00:01");
    EXPECT_EQ(ReadTextField(farm.farm_.Current(0).ipAddress), "198.51.100.9");
    EXPECT_FALSE(farm.farm_.NextDue());

    // A factory reset brings its first address back, as on a real camera.
    farm.Hear(Request(DISCOVERY_CMD_FACTORY_RESET, "00:1A:2B:00:00:01"), 14);
    EXPECT_EQ(ReadTextField(farm.farm_.Current(0).ipAddress), "198.51.100.100");
}

// An ARP request for `address`, broadcast or to `to`.
ArpRequest ArpFor(const std::string& address, const HardwareAddress& to = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})
{
    ArpRequest request{to, {0x02, 0, 0, 0, 0, 1}, kOperator, *ParseIPv4(address)};
    return request;
}

// The MAC texts of the devices that answer ARP for `address` at `at`.
std::vector<std::string> ArpMacs(Farm& farm, const std::string& address, double at)
{
    std::vector<std::string> macs;
    for (const HardwareAddress& mac : farm.farm_.ArpAnswers(ArpFor(address), at)) {
        char text[18];
        std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
                      mac[5]);
        macs.emplace_back(text);
    }
    return macs;
}

using Macs = std::vector<std::string>;

TEST(Farm, EachDeviceAnswersArpForItsOwnAddressFromItsOwnMac)
{
    Farm farm({Device(0), Device(1, "ip=198.51.100.9"), Device(2, "ip=198.51.100.9"),
               Device(3, "mac.hex=4142434445464748494a4b4c4d4e4f505152535455565758,ip=198.51.100.20"),
               Device(4, "mac=FF:FF:FF:FF:FF:FF,ip=198.51.100.21"), Device(5, "mac=00-1a-2b-00-00-06"),
               Device(6, "ip=198.51.100.022")});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.100", 0), Macs{"00:1A:2B:00:00:01"});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.9", 0), (Macs{"00:1A:2B:00:00:02", "00:1A:2B:00:00:03"})) << "a conflict";
    EXPECT_EQ(ArpMacs(farm, "198.51.100.105", 0), Macs{"00:1A:2B:00:00:06"});
    for (const char* nobody : {"198.51.100.20", "198.51.100.21", "198.51.100.22", "198.51.100.101", "198.51.100.1"})
        EXPECT_EQ(ArpMacs(farm, nobody, 0), Macs{}) << nobody;

    // A request sent to one MAC is for that device alone.
    const HardwareAddress second{0x00, 0x1A, 0x2B, 0x00, 0x00, 0x02};
    ASSERT_EQ(farm.farm_.ArpAnswers(ArpFor("198.51.100.9", second), 0).size(), 1u);
    EXPECT_EQ(farm.farm_.ArpAnswers(ArpFor("198.51.100.9", second), 0)[0], second);
    EXPECT_TRUE(farm.farm_.ArpAnswers(ArpFor("198.51.100.100", second), 0).empty());
}

TEST(Farm, ArpFollowsTheAddressAndTheDevicesLife)
{
    Farm farm({Device(0, "rebootTime=2"), Device(1, "moveAt=5,moveTo=198.51.100.9,moveBackAt=8"),
               Device(2, "appearAt=3,leaveAt=6,rejoinAt=7"), Device(3, "silent=1")});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.102", 0), Macs{}) << "away until it appears";
    EXPECT_EQ(ArpMacs(farm, "198.51.100.102", 3), Macs{"00:1A:2B:00:00:03"});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.103", 0), Macs{"00:1A:2B:00:00:04"}) << "silent on the search only";

    // A Save moves it; a reboot silences it; a factory reset brings its
    // first address back.
    DISCOVERY_DATA save = Request(DISCOVERY_CMD_SET_CONFIG, "00:1A:2B:00:00:01");
    WriteTextField(save.ipAddress, "198.51.100.50");
    farm.Hear(save, 1);
    EXPECT_EQ(ArpMacs(farm, "198.51.100.100", 1), Macs{});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.50", 1), Macs{"00:1A:2B:00:00:01"});
    farm.Hear(Request(DISCOVERY_CMD_REBOOT, "00:1A:2B:00:00:01"), 2);
    EXPECT_EQ(ArpMacs(farm, "198.51.100.50", 3.9), Macs{});
    farm.Until(4);
    EXPECT_EQ(ArpMacs(farm, "198.51.100.50", 4), Macs{"00:1A:2B:00:00:01"});
    farm.Hear(Request(DISCOVERY_CMD_FACTORY_RESET, "00:1A:2B:00:00:01"), 4);
    farm.Until(6);
    EXPECT_EQ(ArpMacs(farm, "198.51.100.50", 6), Macs{});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.100", 6), Macs{"00:1A:2B:00:00:01"});

    // Its timeline moves it, away and back, without a search to wake it.
    EXPECT_EQ(ArpMacs(farm, "198.51.100.9", 5), Macs{"00:1A:2B:00:00:02"});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.101", 5), Macs{});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.102", 6), Macs{}) << "left";
    EXPECT_EQ(ArpMacs(farm, "198.51.100.102", 7), Macs{"00:1A:2B:00:00:03"}) << "rejoined";
    EXPECT_EQ(ArpMacs(farm, "198.51.100.101", 8), Macs{"00:1A:2B:00:00:02"});
    EXPECT_EQ(ArpMacs(farm, "198.51.100.9", 8), Macs{});
}

TEST(Farm, ThousandsOfDevicesAnswerInOneBurst)
{
    std::vector<SimDevice> devices;
    for (std::size_t i = 0; i < 4096; ++i)
        devices.push_back(MakePatternedDevice(i));
    Farm farm(devices);
    for (int search = 0; search < 5; ++search) {
        farm.Hear(Request(DISCOVERY_CMD_SEARCH), search);
        farm.Until(search);
        ASSERT_EQ(farm.sent.size(), 4096u);
        EXPECT_EQ(ReadTextField(farm.sent.back().record.macAddress), "00:1A:2B:00:10:00");
    }
}

}  // namespace
