// A Save that nwctl sends is byte for byte the record the window sends for
// the same device, fields and credentials: built here through nwctl's path
// and through BuildSaveRecord with the panel as the window fills it (a row
// click, then the boxes the operator changed).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/change_record.h"
#include "device/setting_changes.h"
#include "device/setting_values.h"
#include "device_commands.h"
#include "record_bytes.h"

namespace {

// A device as it answered a search, with the oddities devices send: a
// stale `result`, bytes after NULs, a text that fills its field.
DISCOVERY_DATA Stored()
{
    DISCOVERY_DATA record = FilledRecord(0xA5);
    record.command = DISCOVERY_CMD_SEARCH_REPLY;
    record.result = 9;
    PutField(record.macAddress, "00:1A:2B:00:00:01");
    PutField(record.productName, "Cam");
    PutField(record.ipAddress, "192.0.2.10");
    PutField(record.subnetMask, "255.255.255.0");
    PutField(record.gateway, std::string(32, 'g'));
    PutField(record.dns, "192.0.2.2");
    record.dhcp = 0;
    record.webPort = 80;
    record.controlPort = 30001;
    record.videoPort = 30002;
    record.audioReceivePort = 30003;
    record.audioTransmitPort = 30004;
    record.httpsEnabled = 1;
    return record;
}

// The panel after a click on Stored()'s row, with the radio pair showing
// `addressMode` (-1: neither button, for a mode other than 0 or 1). The
// gateway box shows the whole field, which has no NUL.
PanelSettings ClickedPanel(int addressMode)
{
    return {addressMode,
            "192.0.2.10",
            "255.255.255.0",
            std::string(32, 'g'),
            "192.0.2.2",
            80,
            30001,
            30002,
            30004,
            30003,
            1};
}

SettingsChange Change(std::initializer_list<std::pair<Setting, const char*>> values)
{
    SettingsChange change;
    for (const auto& [setting, value] : values)
        change[static_cast<std::size_t>(setting)] = value;
    return change;
}

TEST(ChangeRecord, IsTheWindowsSaveRecord)
{
    DISCOVERY_DATA dhcpOdd = Stored();
    dhcpOdd.dhcp = 2;
    DISCOVERY_DATA inDhcp = Stored();
    inDhcp.dhcp = 1;

    const struct {
        const char* name;
        DISCOVERY_DATA stored;
        int shownMode;  // by the radio pair after the click
        SettingsChange change;
        PanelSettings (*typed)(PanelSettings);  // what the operator typed into the clicked panel
    } cases[] = {
        {"address and port", Stored(), 0, Change({{Setting::Ip, "192.0.2.50"}, {Setting::WebPort, "8080"}}),
         [](PanelSettings p) {
             p.ipAddress = "192.0.2.50";
             p.webPort = 8080;
             return p;
         }},
        {"every setting", Stored(), 0,
         Change({{Setting::Ip, "10.0.0.5"},
                 {Setting::Mask, "255.0.0.0"},
                 {Setting::Gateway, "10.0.0.1"},
                 {Setting::Dns, "10.0.0.2"},
                 {Setting::Mode, "dhcp"},
                 {Setting::WebPort, "0"},
                 {Setting::ControlPort, "65535"},
                 {Setting::VideoPort, "1"},
                 {Setting::AudioTransmitPort, "2"},
                 {Setting::AudioReceivePort, "3"}}),
         [](PanelSettings p) {
             p = {1, "10.0.0.5", "255.0.0.0", "10.0.0.1", "10.0.0.2", 0, 65535, 1, 2, 3, p.httpsEnabled};
             return p;
         }},
        {"static chosen for a DHCP device", inDhcp, 1, Change({{Setting::Mode, "static"}}),
         [](PanelSettings p) {
             p.addressMode = 0;
             return p;
         }},
        {"a mode neither button shows goes out as -1", dhcpOdd, -1, Change({{Setting::VideoPort, "5000"}}),
         [](PanelSettings p) {
             p.videoPort = 5000;
             return p;
         }},
    };
    for (const auto& c : cases) {
        for (const char* password : {"admin", "a password longer than thirty-one bytes", " spaced "}) {
            const DISCOVERY_DATA ours = BuildChangeRecord(c.stored, c.change, "operator", password);
            const DISCOVERY_DATA window =
                BuildSaveRecord(c.stored, c.typed(ClickedPanel(c.shownMode)), "operator", password);
            EXPECT_TRUE(SameBytes(ours, window)) << c.name << " / " << password;
        }
    }
    // The record keeps what a Save keeps: the stale result and the bytes
    // after the texts' NULs.
    const DISCOVERY_DATA ours = BuildChangeRecord(dhcpOdd, Change({{Setting::Ip, "1.2.3.4"}}), "u", "p");
    EXPECT_EQ(ours.result, 9u);
    EXPECT_EQ(ours.dhcp, 0xFFFFFFFFu);
    EXPECT_EQ(ours.command, DISCOVERY_CMD_SET_CONFIG);
    EXPECT_EQ(ours.ipAddress[8], '1') << "the old text's bytes after the new NUL stay";
    EXPECT_EQ(static_cast<unsigned char>(ours.ipAddress[11]), 0xA5);
    EXPECT_EQ(LiteralText(ours.gateway), std::string(31, 'g')) << "a full field goes back as 31 bytes";
}

TEST(Settings, ValuesAsTypedOrRefused)
{
    const struct {
        Setting setting;
        const char* text;
        const char* canonical;  // null: refused
    } cases[] = {
        {Setting::WebPort, "0", "0"},       {Setting::WebPort, "65535", "65535"},
        {Setting::WebPort, "0080", "80"},   {Setting::WebPort, "65536", nullptr},
        {Setting::WebPort, "-1", nullptr},  {Setting::WebPort, "", nullptr},
        {Setting::WebPort, "8o", nullptr},  {Setting::WebPort, "99999999999999999999", nullptr},
        {Setting::WebPort, " 80", nullptr}, {Setting::Mode, "static", "static"},
        {Setting::Mode, "DHCP", "dhcp"},    {Setting::Mode, "1", nullptr},
        {Setting::Mode, "", nullptr},
    };
    for (const auto& c : cases) {
        std::string canonical, error;
        EXPECT_EQ(ParseSettingValue(c.setting, c.text, canonical, error), c.canonical != nullptr) << c.text;
        if (c.canonical)
            EXPECT_EQ(canonical, c.canonical) << c.text;
        else
            EXPECT_FALSE(error.empty()) << c.text;
    }
}

TEST(Settings, ChangesNamedAgainstTheDevicesValues)
{
    const auto changes = ChangedSettings(Stored(), Change({{Setting::Ip, "192.0.2.10"},
                                                           {Setting::WebPort, "81"},
                                                           {Setting::Mode, "static"},
                                                           {Setting::Dns, "192.0.2.3"}}));
    EXPECT_EQ(DescribeChanges(changes), "dns 192.0.2.2 -> 192.0.2.3, web_port 80 -> 81");
    EXPECT_EQ(DescribeChanges({}), "no change");
}

}  // namespace
