// The device description file: good files and a table of bad lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_file.h"
#include "text_field.h"

namespace {

TEST(DeviceFile, SectionsCommentsAndLineEnds)
{
    const std::string text =
        "# two devices\r\n"
        "\r\n"
        "[device]\r\n"
        "  mac = AA:BB:CC:DD:EE:FF  \r\n"
        "; the name keeps its inner blanks and its commas\r\n"
        "name\t=\tfront door, left\r\n"
        "productName =\r\n"
        "answers = 1\r\n"
        "[device]\n"
        "macAddress.hex = 2061\n"
        "password = p=q\n";
    std::vector<SimDevice> devices(3, MakePatternedDevice(0));
    std::string error;
    ASSERT_TRUE(ParseDeviceFile(text, devices, error)) << error;
    ASSERT_EQ(devices.size(), 5u);

    const SimDevice& first = devices[3];
    EXPECT_EQ(ReadTextField(first.record.macAddress), "AA:BB:CC:DD:EE:FF");
    EXPECT_EQ(ReadTextField(first.record.deviceName), "front door, left");
    EXPECT_EQ(ReadTextField(first.record.productName), "");
    EXPECT_EQ(first.behaviour.answers, 1u);
    // Keys not given come from the pattern of the device's position.
    EXPECT_EQ(ReadTextField(first.record.ipAddress), ReadTextField(MakePatternedDevice(3).record.ipAddress));

    const SimDevice& second = devices[4];
    EXPECT_EQ(ReadTextField(second.record.macAddress), " a");
    EXPECT_EQ(second.password, "p=q");
    EXPECT_EQ(ReadTextField(second.record.ipAddress), ReadTextField(MakePatternedDevice(4).record.ipAddress));
}

TEST(DeviceFile, EmptyFileAddsNothing)
{
    std::vector<SimDevice> devices;
    std::string error;
    EXPECT_TRUE(ParseDeviceFile("", devices, error));
    EXPECT_TRUE(ParseDeviceFile("# nothing\n\n", devices, error));
    EXPECT_TRUE(devices.empty());
}

TEST(DeviceFile, BadLinesNameTheirLine)
{
    struct Case {
        std::string text;
        const char* error;
    } const cases[] = {
        {"mac = A\n", "line 1: key before the first [device] section"},
        {"[device]\nmac A\n", "line 2: expected key = value"},
        {"[device]\n= A\n", "line 2: no key before '='"},
        {"[device]\n\n# c\ncolour = red\n", "line 4: unknown key 'colour'"},
        {"[device]\nwebPort = 70000\n", "line 2: webPort: '70000' is not a whole number"},
        {"[device]\nwebPort = 80 # web\n", "line 2: webPort"},
        {"[Device]\n", "line 1: unknown section [Device]"},
        {"[device\n", "line 1: unknown section [device"},
        {"[devices]\n", "line 1: unknown section"},
        {"[device]\r\nmac.hex = xyz\r\n", "line 2: mac.hex: 'xyz' is not hex"},
        {"[device]\nmac = A\n[device]\nrepeat = -2\n", "line 4: repeat"},
        {std::string("[device]\nname = a\0b\n", 20) + "x\n", "line 3: expected key = value"},
        {"[device]\nsilent = 2", "line 2: silent"},
    };
    for (const Case& c : cases) {
        std::vector<SimDevice> devices(1, MakePatternedDevice(0));
        std::string error;
        EXPECT_FALSE(ParseDeviceFile(c.text, devices, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "expected \"" << c.error << "\", got \"" << error << "\"";
        EXPECT_EQ(devices.size(), 1u) << "a bad file adds no device: " << c.text;
    }
}

}  // namespace
