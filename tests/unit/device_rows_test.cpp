// What one row of the device list shows: the running number, the record's
// texts cut at their fields, and the device name only for firmware dated
// 20220807 or later.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "device_rows.h"
#include "record_bytes.h"

namespace {

// Every byte not set by a case is 'Z', so a text read past its field's end
// would carry some.
DISCOVERY_DATA WithFirmware(const std::string& version)
{
    DISCOVERY_DATA record = FilledRecord('Z');
    PutField(record.deviceName, "Lobby");
    PutField(record.firmwareVersion, version);
    return record;
}

struct DateCase {
    std::string version;  // as many bytes as given, NUL after when they fit
    std::int32_t date;
    bool showsName;
};

TEST(FirmwareDate, DecidesWhetherTheDeviceNameShows)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const DateCase cases[] = {
        {"V1.2.3_20220807", 20220807, true},
        {"V1.2.3_20220806", 20220806, false},
        {"V1.2.3_20231231", 20231231, true},
        {"V1.2.3_build_20220807", 20220807, true},
        {"V1.2.3_20220807_beta", 0, false},
        {"20220807", 0, false},
        {"_20220807", 0, false},
        {"", 0, false},
        {"_", 0, false},
        {"____", 0, false},
        {"V1_ 20220807", 20220807, true},
        {"V1_\t20220807", 20220807, true},
        {"V1_+20220807", 20220807, true},
        {"V1_2022-08-07", 2022, false},
        {"V1_-20220807", -20220807, false},
        {"V1__20220807", 20220807, true},
        {"V1_20220807_", 20220807, true},
        {"__V1__20220807__", 20220807, true},
        {"V1_20220807rc", 20220807, true},
        {"V1_020220807", 20220807, true},
        {"V1_0x20220807", 0, false},
        {"V1_- 20220807", 0, false},
        {"V1_99999999999", kMax, true},
        {"V1_-99999999999", kMin, false},
        // Bytes after the NUL are no part of the version.
        {std::string("V1_20220806\0_20220807", 21), 20220806, false},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE("firmware \"" + c.version + "\"");
        const DISCOVERY_DATA record = WithFirmware(c.version);
        EXPECT_EQ(FirmwareDate(record), c.date);
        EXPECT_EQ(DeviceRowTexts(record, 0)[COLUMN_DEVICE_NAME], c.showsName ? "Lobby" : "N/A");
    }
}

// The firmware field is 36 bytes wide, but only its first 32 characters
// take part in the date.
TEST(FirmwareDate, OnlyTheFirst32CharactersCount)
{
    const DateCase cases[] = {
        {std::string(23, 'v') + "_20220807", 20220807, true},
        {std::string(23, 'v') + "_20220807" + "_1", 20220807, true},
        {std::string(24, 'v') + "_20220807", 2022080, false},
        {std::string(27, 'v') + "_20220807", 2022, false},
        {std::string(31, 'v') + "_20220807", 0, false},
        {"V1_20220807" + std::string(21, '_') + "_999", 20220807, true},
        {std::string(36, '_'), 0, false},
        {std::string(36, '9'), 0, false},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE("firmware \"" + c.version + "\"");
        const DISCOVERY_DATA record = WithFirmware(c.version);
        EXPECT_EQ(FirmwareDate(record), c.date);
        EXPECT_EQ(DeviceRowTexts(record, 0)[COLUMN_DEVICE_NAME], c.showsName ? "Lobby" : "N/A");
    }
}

TEST(DeviceRowTexts, NumbersRowsFromOne)
{
    const DISCOVERY_DATA record = WithFirmware("V1_1");
    EXPECT_EQ(DeviceRowTexts(record, 0)[0], "");
    EXPECT_EQ(DeviceRowTexts(record, 0)[COLUMN_NO], "1");
    EXPECT_EQ(DeviceRowTexts(record, 1)[COLUMN_NO], "2");
    EXPECT_EQ(DeviceRowTexts(record, 99)[COLUMN_NO], "100");
    EXPECT_EQ(DeviceRowTexts(record, 4095)[COLUMN_NO], "4096");
}

struct FieldCase {
    const char* name;
    int column;
    void (*fill)(DISCOVERY_DATA&);
    std::string shown;
};

// Each text fills its field completely, with no NUL, and the field after it
// holds a text of its own: the cell shows the whole field and nothing more.
TEST(DeviceRowTexts, TextsStopAtTheirFieldsEnd)
{
    const FieldCase cases[] = {
        {"MAC of 24 characters", COLUMN_MAC_ADDRESS,
         [](DISCOVERY_DATA& r) {
             PutField(r.macAddress, std::string(24, 'm'));
             PutField(r.productName, "IPC-100");
         },
         std::string(24, 'm')},
        {"IP of 32 characters", COLUMN_IP_ADDRESS,
         [](DISCOVERY_DATA& r) {
             PutField(r.ipAddress, std::string(32, '1'));
             PutField(r.subnetMask, "255.255.255.0");
         },
         std::string(32, '1')},
        {"product of 32 characters", COLUMN_PRODUCT_NAME,
         [](DISCOVERY_DATA& r) {
             PutField(r.productName, std::string(32, 'p'));
             PutField(r.manufacturer, "Maker");
         },
         std::string(32, 'p')},
        {"maker of 32 characters", COLUMN_MANUFACTURER,
         [](DISCOVERY_DATA& r) {
             PutField(r.manufacturer, std::string(32, 'k'));
             PutField(r.deviceName, "Lobby");
         },
         std::string(32, 'k')},
        {"firmware of 36 characters shows whole", COLUMN_FIRMWARE_VERSION,
         [](DISCOVERY_DATA& r) {
             PutField(r.firmwareVersion, "fffffffffffffffffffffffffff_20220807");
             r.dhcp = 0x41414141;
         },
         std::string(27, 'f') + "_20220807"},
        {"device name of 32 characters", COLUMN_DEVICE_NAME,
         [](DISCOVERY_DATA& r) {
             PutField(r.deviceName, std::string(32, 'n'));
             PutField(r.firmwareVersion, "V1_20220807");
         },
         std::string(32, 'n')},
        {"bytes after a NUL are not shown", COLUMN_PRODUCT_NAME,
         [](DISCOVERY_DATA& r) { PutField(r.productName, std::string("IPC\0hidden", 10)); }, "IPC"},
        {"empty text", COLUMN_MAC_ADDRESS, [](DISCOVERY_DATA& r) { PutField(r.macAddress, ""); }, ""},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.name);
        DISCOVERY_DATA record = FilledRecord('Z');
        c.fill(record);
        EXPECT_EQ(DeviceRowTexts(record, 0)[c.column], c.shown);
    }
}

}  // namespace
