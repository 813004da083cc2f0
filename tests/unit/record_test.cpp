// Byte-level layout of the device record and the rules for its text fields.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "discovery_data.h"
#include "text_field.h"

namespace {

using Bytes = std::vector<unsigned char>;

DISCOVERY_DATA Filled(unsigned char byte)
{
    DISCOVERY_DATA record;
    std::memset(&record, byte, sizeof record);
    return record;
}

Bytes At(const DISCOVERY_DATA& record, std::size_t offset, std::size_t length)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    return Bytes(bytes + offset, bytes + offset + length);
}

struct ByteCase {
    const char* name;
    std::function<DISCOVERY_DATA()> build;
    std::size_t offset;
    Bytes expected;
};

TEST(Record, BytesOnTheWire)
{
    const std::string fortyChars(40, 'u');
    const ByteCase cases[] = {
        {"search request command", MakeSearchRequest, 0, {0x03, 0x00, 0x00, 0x00}},
        {"search request is zero after command", MakeSearchRequest, 4, Bytes(367, 0x00)},
        {"web port 80",
         [] {
             DISCOVERY_DATA r = Filled(0xEE);
             r.webPort = 80;
             return r;
         },
         360,
         {0x50, 0x00}},
        {"command 5",
         [] {
             DISCOVERY_DATA r = Filled(0xEE);
             r.command = DISCOVERY_CMD_SET_CONFIG;
             return r;
         },
         0,
         {0x05, 0x00, 0x00, 0x00}},
        {"40-character User ID: 31 characters, NUL, tail kept",
         [&] {
             DISCOVERY_DATA r = Filled(0xEE);
             WriteTextField(r.userId, fortyChars);
             return r;
         },
         8,
         [] {
             Bytes b(31, 'u');
             b.push_back(0x00);
             return b;
         }()},
        {"40-character User ID leaves the digest alone",
         [&] {
             DISCOVERY_DATA r = Filled(0xEE);
             WriteTextField(r.userId, fortyChars);
             return r;
         },
         40, Bytes(32, 0xEE)},
        {"short text keeps the field's tail",
         [] {
             DISCOVERY_DATA r = Filled(0xEE);
             WriteTextField(r.ipAddress, "10.1.2.3");
             return r;
         },
         232,
         {'1', '0', '.', '1', '.', '2', '.', '3', 0x00, 0xEE, 0xEE}},
        {"port 65536 goes out as 0",
         [] {
             DISCOVERY_DATA r = Filled(0xEE);
             r.webPort = PortFromPanel(65536);
             return r;
         },
         360,
         {0x00, 0x00}},
        {"port -1 goes out as 65535",
         [] {
             DISCOVERY_DATA r = Filled(0xEE);
             r.audioTransmitPort = PortFromPanel(-1);
             return r;
         },
         368,
         {0xFF, 0xFF}},
        {"audio receive port lies before audio transmit port",
         [] {
             DISCOVERY_DATA r = Filled(0xEE);
             r.audioReceivePort = 0x1234;
             r.audioTransmitPort = 0x5678;
             return r;
         },
         366,
         {0x34, 0x12, 0x78, 0x56}},
        {"address mode -1 goes out as FF FF FF FF",
         [] {
             DISCOVERY_DATA r = Filled(0x00);
             r.dhcp = AddressModeFromPanel(-1);
             return r;
         },
         228,
         {0xFF, 0xFF, 0xFF, 0xFF}},
        {"HTTPS byte is the last byte",
         [] {
             DISCOVERY_DATA r = Filled(0x00);
             r.httpsEnabled = HttpsFromPanel(0x101);
             return r;
         },
         370,
         {0x01}},
    };
    for (const ByteCase& c : cases) {
        const Bytes expected = c.expected;
        EXPECT_EQ(At(c.build(), c.offset, expected.size()), expected) << c.name;
    }
}

TEST(Record, TextFieldReading)
{
    struct Case {
        const char* name;
        std::size_t nulAt;  // where to put the field's NUL; 0xFF for none
        std::string expected;
    } const cases[] = {
        {"24 characters, no NUL: the whole field and nothing of productName", 0xFF, "ABCDEFGHIJKLMNOPQRSTUVWX"},
        {"text up to the first NUL", 12, "ABCDEFGHIJKL"},
        {"empty text", 0, ""},
        {"NUL in the last byte", 23, "ABCDEFGHIJKLMNOPQRSTUVW"},
    };
    for (const Case& c : cases) {
        DISCOVERY_DATA record = Filled('Z');
        std::memcpy(record.macAddress, "ABCDEFGHIJKLMNOPQRSTUVWX", 24);
        if (c.nulAt != 0xFF)
            record.macAddress[c.nulAt] = '\0';
        EXPECT_EQ(ReadTextField(record.macAddress), c.expected) << c.name;
    }
}

TEST(Record, TextFieldWritingStopsAtEmbeddedNul)
{
    DISCOVERY_DATA record = Filled('Z');
    WriteTextField(record.dns, std::string("1.1\0garbage", 11));
    EXPECT_EQ(ReadTextField(record.dns), "1.1");
    EXPECT_EQ(record.dns[4], 'Z');
}

TEST(Record, ApplyResultTexts)
{
    const char* const expected[] = {"Apply",
                                    "Failed",
                                    "Failed. Invalid address",
                                    "Failed. Invalid port",
                                    "Failed. Invalid config",
                                    "Failed. login failed"};
    for (std::uint32_t code = 0; code < 6; ++code)
        EXPECT_STREQ(ApplyResultText(code), expected[code]) << code;
    for (std::uint32_t code : {6u, 7u, 255u, 0xFFFFFFFFu})
        EXPECT_EQ(ApplyResultText(code), nullptr) << code;
}

}  // namespace
