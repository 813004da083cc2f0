// How a simulated device judges credentials and settings.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "config_judge.h"
#include "md5.h"
#include "sim_device.h"
#include "text_field.h"

namespace {

TEST(Judge, DottedAddresses)
{
    for (const char* good : {"0.0.0.0", "198.51.100.1", "255.255.255.255", "10.0.0.9", "1.22.133.255"})
        EXPECT_TRUE(FirmwareAcceptsDottedIPv4(good)) << good;
    for (const char* bad : {"",           "1.2.3",      "1.2.3.4.5", "1.2.3.",   ".1.2.3",    "1..2.3",   "256.1.1.1",
                            "1.2.3.1000", "01.2.3.4",   "1.2.3.04",  " 1.2.3.4", "1.2.3.4 ",  "1.2.3.-4", "+1.2.3.4",
                            "a.b.c.d",    "1.2.3.4/24", "0x1.2.3.4", "1,2,3,4",  "1.2.3.4\n", "localhost"})
        EXPECT_FALSE(FirmwareAcceptsDottedIPv4(bad)) << '"' << bad << '"';
}

// A request a device with the patterned settings and admin/admin accepts.
DISCOVERY_DATA ValidRequest()
{
    DISCOVERY_DATA request = MakePatternedDevice(0).record;
    request.command = DISCOVERY_CMD_SET_CONFIG;
    WriteTextField(request.userId, "admin");
    SetPasswordDigest(request, "admin");
    return request;
}

TEST(Judge, Credentials)
{
    struct Case {
        const char* name;
        std::function<void(DISCOVERY_DATA&)> change;
        bool accepted;
    } const cases[] = {
        {"as the program sends them", [](DISCOVERY_DATA&) {}, true},
        {"other user", [](DISCOVERY_DATA& r) { WriteTextField(r.userId, "root"); }, false},
        {"user in other case", [](DISCOVERY_DATA& r) { WriteTextField(r.userId, "Admin"); }, false},
        {"user with a trailing blank", [](DISCOVERY_DATA& r) { WriteTextField(r.userId, "admin "); }, false},
        {"empty user", [](DISCOVERY_DATA& r) { WriteTextField(r.userId, ""); }, false},
        {"other password", [](DISCOVERY_DATA& r) { SetPasswordDigest(r, "admin1"); }, false},
        {"password with a trailing blank", [](DISCOVERY_DATA& r) { SetPasswordDigest(r, "admin "); }, false},
        {"digest of the password without its NUL",
         [](DISCOVERY_DATA& r) {
             CMD5 md5;
             MD5Context context;
             md5.Init(&context);
             md5.Update(&context, reinterpret_cast<const unsigned char*>("admin"), 5);
             md5.Final(&context, r.passwordDigest);
         },
         false},
        {"non-zero byte after the digest", [](DISCOVERY_DATA& r) { r.passwordDigest[31] = 1; }, false},
        {"all-zero digest", [](DISCOVERY_DATA& r) { std::memset(r.passwordDigest, 0, 32); }, false},
    };
    for (const Case& c : cases) {
        DISCOVERY_DATA request = ValidRequest();
        c.change(request);
        EXPECT_EQ(CredentialsMatch(request, "admin", "admin"), c.accepted) << c.name;
    }
}

TEST(Judge, CredentialsOfHostileDevices)
{
    DISCOVERY_DATA request = ValidRequest();
    // An empty password still has a digest: that of its NUL alone.
    SetPasswordDigest(request, "");
    EXPECT_TRUE(CredentialsMatch(request, "admin", ""));
    // The program sends at most 31 bytes of a password, so a device with a
    // longer one accepts its first 31.
    SetPasswordDigest(request, std::string(40, 'p'));
    EXPECT_TRUE(CredentialsMatch(request, "admin", std::string(31, 'p')));
    // A 32-byte user ID fills the field with no NUL and still matches.
    std::memset(request.userId, 'u', sizeof request.userId);
    EXPECT_TRUE(CredentialsMatch(request, std::string(32, 'u'), std::string(31, 'p')));
    EXPECT_FALSE(CredentialsMatch(request, std::string(31, 'u'), std::string(31, 'p')));
}

TEST(Judge, Settings)
{
    struct Case {
        const char* name;
        std::function<void(DISCOVERY_DATA&)> change;
        std::uint32_t result;
    } const cases[] = {
        {"valid", [](DISCOVERY_DATA&) {}, DISCOVERY_RESULT_OK},
        {"DHCP", [](DISCOVERY_DATA& r) { r.dhcp = 1; }, DISCOVERY_RESULT_OK},
        {"ports at both ends of the range",
         [](DISCOVERY_DATA& r) {
             r.webPort = 1;
             r.controlPort = 65535;
         },
         DISCOVERY_RESULT_OK},
        {"HTTPS byte is not judged", [](DISCOVERY_DATA& r) { r.httpsEnabled = 7; }, DISCOVERY_RESULT_OK},
        {"IP not dotted", [](DISCOVERY_DATA& r) { WriteTextField(r.ipAddress, "198.51.100"); },
         DISCOVERY_RESULT_INVALID_ADDRESS},
        {"IP empty", [](DISCOVERY_DATA& r) { WriteTextField(r.ipAddress, ""); }, DISCOVERY_RESULT_INVALID_ADDRESS},
        {"IP 0.0.0.0", [](DISCOVERY_DATA& r) { WriteTextField(r.ipAddress, "0.0.0.0"); },
         DISCOVERY_RESULT_INVALID_ADDRESS},
        {"IP broadcast", [](DISCOVERY_DATA& r) { WriteTextField(r.ipAddress, "255.255.255.255"); },
         DISCOVERY_RESULT_INVALID_ADDRESS},
        {"IP field full with no NUL", [](DISCOVERY_DATA& r) { std::memset(r.ipAddress, '1', 32); },
         DISCOVERY_RESULT_INVALID_ADDRESS},
        {"mask out of range", [](DISCOVERY_DATA& r) { WriteTextField(r.subnetMask, "255.255.256.0"); },
         DISCOVERY_RESULT_INVALID_ADDRESS},
        {"gateway with a blank", [](DISCOVERY_DATA& r) { WriteTextField(r.gateway, "198.51.100.254 "); },
         DISCOVERY_RESULT_INVALID_ADDRESS},
        {"DNS empty", [](DISCOVERY_DATA& r) { WriteTextField(r.dns, ""); }, DISCOVERY_RESULT_INVALID_ADDRESS},
        {"gateway and DNS may be 0.0.0.0",
         [](DISCOVERY_DATA& r) {
             WriteTextField(r.gateway, "0.0.0.0");
             WriteTextField(r.dns, "0.0.0.0");
         },
         DISCOVERY_RESULT_OK},
        {"web port 0", [](DISCOVERY_DATA& r) { r.webPort = 0; }, DISCOVERY_RESULT_INVALID_PORT},
        {"audio transmit port 0", [](DISCOVERY_DATA& r) { r.audioTransmitPort = 0; }, DISCOVERY_RESULT_INVALID_PORT},
        {"first and last port equal", [](DISCOVERY_DATA& r) { r.audioTransmitPort = r.webPort; },
         DISCOVERY_RESULT_INVALID_PORT},
        {"video and audio receive equal", [](DISCOVERY_DATA& r) { r.audioReceivePort = r.videoPort; },
         DISCOVERY_RESULT_INVALID_PORT},
        {"dhcp 2", [](DISCOVERY_DATA& r) { r.dhcp = 2; }, DISCOVERY_RESULT_INVALID_CONFIG},
        {"dhcp of no radio checked", [](DISCOVERY_DATA& r) { r.dhcp = 0xFFFFFFFFu; }, DISCOVERY_RESULT_INVALID_CONFIG},
        {"address beats port and config",
         [](DISCOVERY_DATA& r) {
             WriteTextField(r.dns, "x");
             r.webPort = 0;
             r.dhcp = 9;
         },
         DISCOVERY_RESULT_INVALID_ADDRESS},
        {"port beats config",
         [](DISCOVERY_DATA& r) {
             r.webPort = 0;
             r.dhcp = 9;
         },
         DISCOVERY_RESULT_INVALID_PORT},
    };
    for (const Case& c : cases) {
        DISCOVERY_DATA request = ValidRequest();
        c.change(request);
        EXPECT_EQ(JudgeSettings(request), c.result) << c.name;
    }
}

TEST(Judge, TakeSettingsCopiesOnlyTheSettings)
{
    DISCOVERY_DATA device = MakePatternedDevice(0).record;
    const DISCOVERY_DATA before = device;
    DISCOVERY_DATA request = MakePatternedDevice(7).record;
    std::memset(request.ipAddress, 'Z', sizeof request.ipAddress);
    WriteTextField(request.ipAddress, "10.1.2.3");  // the field's tail holds junk after the NUL
    request.dhcp = 1;
    request.webPort = 8080;
    request.audioReceivePort = 1;
    request.audioTransmitPort = 2;
    request.httpsEnabled = 1;
    WriteTextField(request.productName, "Other");

    TakeSettings(device, request);
    EXPECT_EQ(ReadTextField(device.ipAddress), "10.1.2.3");
    EXPECT_EQ(device.ipAddress[9], '\0') << "the device keeps the text, not the junk after it";
    EXPECT_EQ(device.dhcp, 1u);
    EXPECT_EQ(device.webPort, 8080);
    EXPECT_EQ(device.audioReceivePort, 1);
    EXPECT_EQ(device.audioTransmitPort, 2);
    EXPECT_EQ(device.httpsEnabled, 1);
    EXPECT_EQ(0, std::memcmp(device.macAddress, before.macAddress, 24));
    EXPECT_EQ(0, std::memcmp(device.productName, before.productName, 32));
}

}  // namespace
