// Device and record settings given as key=value, hostile values included.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device_settings.h"
#include "md5.h"
#include "text_field.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes At(const DISCOVERY_DATA& record, std::size_t offset, std::size_t length)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    return Bytes(bytes + offset, bytes + offset + length);
}

Bytes Text(const std::string& text, std::size_t width)
{
    Bytes bytes(text.begin(), text.end());
    bytes.resize(width, 0);
    return bytes;
}

TEST(Settings, FieldBytes)
{
    struct Case {
        const char* key;
        std::string value;
        std::size_t offset;
        Bytes expected;
    } const cases[] = {
        {"mac", "ABCDEFGHIJKLMNOPQRSTUVWX", 72, Text("ABCDEFGHIJKLMNOPQRSTUVWX", 24)},
        {"macAddress", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 72, Text("ABCDEFGHIJKLMNOPQRSTUVWX", 24)},
        {"productName", std::string(40, 'p'), 96, Text(std::string(32, 'p'), 32)},
        {"name", "", 160, Bytes(32, 0)},
        {"firmware", std::string(35, 'f'), 192, Text(std::string(35, 'f'), 36)},
        {"firmwareVersion", std::string(36, 'f'), 192, Text(std::string(36, 'f'), 36)},
        {"macAddress.hex", "4142004344", 72, Text(std::string("AB\0CD", 5), 24)},
        {"dhcp", "-1", 228, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"dhcp", "4294967295", 228, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"dhcp", "2", 228, {0x02, 0x00, 0x00, 0x00}},
        {"webPort", "65535", 360, {0xFF, 0xFF}},
        {"webPort", "-1", 360, {0xFF, 0xFF}},
        {"webPort", "0", 360, {0x00, 0x00}},
        {"audioReceivePort", "4660", 366, {0x34, 0x12}},
        {"audioTransmitPort", "22136", 368, {0x78, 0x56}},
        {"https", "255", 370, {0xFF}},
        {"result", "9", 4, {0x09, 0x00, 0x00, 0x00}},
        {"webPort.hex", "5000", 360, {0x50, 0x00}},
    };
    for (const Case& c : cases) {
        SimDevice device = MakePatternedDevice(0);
        const DISCOVERY_DATA before = device.record;
        std::string error;
        ASSERT_TRUE(ApplyDeviceSetting(device, c.key, c.value, error)) << c.key << ": " << error;
        EXPECT_EQ(At(device.record, c.offset, c.expected.size()), c.expected) << c.key << "=" << c.value;
        // Nothing outside the field changes.
        const std::size_t end = c.offset + c.expected.size();
        EXPECT_EQ(At(device.record, 0, c.offset), At(before, 0, c.offset)) << c.key;
        EXPECT_EQ(At(device.record, end, DISCOVERY_DATA_SIZE - end), At(before, end, DISCOVERY_DATA_SIZE - end))
            << c.key;
    }
}

TEST(Settings, BadValuesAreRefusedWithTheKeyNamed)
{
    struct Case {
        const char* key;
        std::string value;
        const char* errorHas;
    } const cases[] = {
        {"colour", "red", "unknown key 'colour'"},
        {"ip.HEX", "00", "unknown key"},
        {"webPort", "65536", "webPort: '65536' is not a whole number from -32768 to 65535"},
        {"webPort", "-32769", "webPort"},
        {"webPort", "", "webPort"},
        {"webPort", "80a", "webPort"},
        {"webPort", " 80", "webPort"},
        {"webPort", "+80", "webPort"},
        {"https", "256", "https: '256' is not a whole number from -128 to 255"},
        {"dhcp", "4294967296", "dhcp"},
        {"macAddress.hex", "414", "not hex"},
        {"macAddress.hex", "41zz", "not hex"},
        {"macAddress.hex", std::string(50, 'a'), "25 bytes do not fit the field's 24"},
        {"command", "5", "command is set by each message"},
        {"passwordDigest.hex", "00", "passwordDigest is set by each message"},
        {"delay", "-1", "delay: '-1' is not a number of seconds"},
        {"delay", "1e3", "delay"},
        {"delay", "nan", "delay"},
        {"delay", "86401", "delay"},
        {"answers", "-1", "answers"},
        {"answers", "x", "answers"},
        {"silent", "maybe", "silent: 'maybe' is not 0 or 1"},
        {"delay.hex", "00", "unknown key"},
        {"applyMac.hex", "4", "applyMac.hex"},
        {"appearAt", "-2", "appearAt: '-2' is not a number of seconds"},
        {"moveBackAt", "soon", "moveBackAt: 'soon'"},
        {"moveTo", "198.51.100", "moveTo: '198.51.100' is not a dotted IPv4 address"},
        {"moveTo", "198.51.100.020", "moveTo"},
        {"moveTo.hex", "00", "unknown key"},
    };
    for (const Case& c : cases) {
        SimDevice device = MakePatternedDevice(0);
        std::string error;
        EXPECT_FALSE(ApplyDeviceSetting(device, c.key, c.value, error)) << c.key << "=" << c.value;
        EXPECT_NE(error.find(c.errorHas), std::string::npos) << c.key << "=" << c.value << " said: " << error;
    }
}

TEST(Settings, CredentialsAndBehaviour)
{
    SimDevice device = MakePatternedDevice(0);
    std::string error;
    ASSERT_TRUE(ApplyDeviceSettingList(device,
                                       "user=op,password.hex=7365637265740a,delay=6.5,answers=1,repeat=3,silent=1,"
                                       "broadcast=0,applyResult=7,applyCount=2,applyMac=AA,applyDelay=0.25,"
                                       "rebootTime=1",
                                       error))
        << error;
    EXPECT_EQ(device.userId, "op");
    EXPECT_EQ(device.password, "secret\n");
    const DeviceBehaviour& b = device.behaviour;
    EXPECT_EQ(b.delay, 6.5);
    EXPECT_EQ(b.answers, 1u);
    EXPECT_EQ(b.repeat, 3u);
    EXPECT_TRUE(b.silent);
    EXPECT_EQ(b.broadcast, false);
    EXPECT_EQ(b.applyResult, 7u);
    EXPECT_EQ(b.applyCount, 2u);
    EXPECT_EQ(b.applyMac, "AA");
    EXPECT_EQ(b.applyDelay, 0.25);
    EXPECT_EQ(b.rebootTime, 1.0);
    // The record itself carries no credentials.
    EXPECT_EQ(ReadTextField(device.record.userId), "");
}

TEST(Settings, TimelineKeys)
{
    SimDevice device = MakePatternedDevice(0);
    std::string error;
    ASSERT_TRUE(ApplyDeviceSettingList(
        device, "appearAt=1.5,leaveAt=4,rejoinAt=9,moveAt=2,moveTo=198.51.100.7,moveBackAt=6", error))
        << error;
    const DeviceBehaviour& b = device.behaviour;
    EXPECT_EQ(b.appearAt, 1.5);
    EXPECT_EQ(b.leaveAt, 4.0);
    EXPECT_EQ(b.rejoinAt, 9.0);
    EXPECT_EQ(b.moveAt, 2.0);
    EXPECT_EQ(b.moveTo, "198.51.100.7");
    EXPECT_EQ(b.moveBackAt, 6.0);
    EXPECT_TRUE(CheckTimeline(b, error)) << error;
    EXPECT_EQ(ReadTextField(device.record.ipAddress), "198.51.100.100") << "its first address stays its own";
}

TEST(Settings, TimelinesThatDoNotFit)
{
    struct Case {
        const char* list;
        const char* error;  // empty: it fits
    } const cases[] = {
        {"leaveAt=3", ""},
        {"appearAt=0,leaveAt=0.5", ""},
        {"moveAt=1,moveTo=198.51.100.9", ""},
        {"moveTo=198.51.100.9", "moveAt and moveTo go together"},
        {"moveAt=1", "moveAt and moveTo go together"},
        {"leaveAt=2,appearAt=2", "leaveAt must be later than appearAt"},
        {"rejoinAt=5", "rejoinAt needs leaveAt before it"},
        {"leaveAt=5,rejoinAt=4", "rejoinAt must be later than leaveAt"},
        {"moveBackAt=5", "moveBackAt needs moveAt before it"},
        {"moveAt=5,moveTo=198.51.100.9,moveBackAt=5", "moveBackAt must be later than moveAt"},
    };
    for (const Case& c : cases) {
        SimDevice device = MakePatternedDevice(0);
        std::string error;
        ASSERT_TRUE(ApplyDeviceSettingList(device, c.list, error)) << c.list << ": " << error;
        EXPECT_EQ(CheckTimeline(device.behaviour, error), *c.error == '\0') << c.list;
        if (*c.error) {
            EXPECT_EQ(error, c.error) << c.list;
        }
    }
}

TEST(Settings, ListsThatAreNotKeyValue)
{
    for (const char* list : {"", "mac", "=x", "mac=A,", "mac=A,,ip=1.2.3.4", ",mac=A"}) {
        SimDevice device = MakePatternedDevice(0);
        std::string error;
        EXPECT_FALSE(ApplyDeviceSettingList(device, list, error)) << list;
        EXPECT_NE(error.find("is not key=value"), std::string::npos) << list << " said: " << error;
    }
    SimDevice device = MakePatternedDevice(0);
    std::string error;
    ASSERT_TRUE(ApplyDeviceSettingList(device, "name=a=b,ip=", error)) << error;
    EXPECT_EQ(ReadTextField(device.record.deviceName), "a=b");
    EXPECT_EQ(ReadTextField(device.record.ipAddress), "");
}

TEST(Settings, RecordSettingsForCraftedDatagrams)
{
    DISCOVERY_DATA record{};
    std::string error;
    ASSERT_TRUE(ApplyRecordSetting(record, "command", "5", error)) << error;
    ASSERT_TRUE(ApplyRecordSetting(record, "userId", "admin", error)) << error;
    ASSERT_TRUE(ApplyRecordSetting(record, "password", "admin", error)) << error;
    EXPECT_EQ(record.command, 5u);
    EXPECT_EQ(ReadTextField(record.userId), "admin");
    DISCOVERY_DATA expected{};
    SetPasswordDigest(expected, "admin");
    EXPECT_EQ(0, std::memcmp(record.passwordDigest, expected.passwordDigest, 32));

    ASSERT_TRUE(ApplyRecordSetting(record, "passwordDigest.hex", "ff", error)) << error;
    EXPECT_EQ(At(record, 40, 2), (Bytes{0xFF, 0x00}));
    EXPECT_FALSE(ApplyRecordSetting(record, "passwordDigest", "ff", error));
    EXPECT_NE(error.find("passwordDigest.hex"), std::string::npos) << error;
    EXPECT_FALSE(ApplyRecordSetting(record, "delay", "1", error));
    EXPECT_NE(error.find("unknown record field 'delay'"), std::string::npos) << error;
}

TEST(Settings, PatternedDevicesAreDistinct)
{
    const SimDevice first = MakePatternedDevice(0);
    const SimDevice later = MakePatternedDevice(4095);
    EXPECT_EQ(ReadTextField(first.record.macAddress), "00:1A:2B:00:00:01");
    EXPECT_EQ(ReadTextField(first.record.ipAddress), "198.51.100.100");
    EXPECT_EQ(ReadTextField(later.record.macAddress), "00:1A:2B:00:10:00");
    EXPECT_EQ(ReadTextField(later.record.ipAddress), "198.51.116.99");
    EXPECT_EQ(first.userId, "admin");
    EXPECT_EQ(first.password, "admin");
}

}  // namespace
