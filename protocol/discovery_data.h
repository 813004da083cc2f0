// The device record: one fixed 371-byte layout that is both the stored
// description of a device and every datagram exchanged with devices.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the record is sent as it lies in memory: little-endian hosts only");

constexpr std::size_t DISCOVERY_DATA_SIZE = 371;
constexpr std::uint16_t DISCOVERY_DEVICE_PORT = 40013;
constexpr std::uint16_t DISCOVERY_REPLY_PORT = 40014;
// Asked for on the reply port: a large site's devices all answer each
// broadcast at once, and a default buffer (64 KB on Windows) would drop most
// of such a burst before it could be read.
constexpr int DISCOVERY_RECEIVE_BUFFER_BYTES = 8 * 1024 * 1024;
constexpr char DISCOVERY_BROADCAST_ADDRESS[] = "255.255.255.255";

// Message kinds, in `command`.
enum : std::uint32_t {
    DISCOVERY_CMD_SEARCH = 3,
    DISCOVERY_CMD_SEARCH_REPLY = 4,
    DISCOVERY_CMD_SET_CONFIG = 5,
    DISCOVERY_CMD_REBOOT = 6,
    DISCOVERY_CMD_FACTORY_RESET = 7,
};

// Outcome of a configuration request, in `result` of the device's reply.
enum : std::uint32_t {
    DISCOVERY_RESULT_OK = 0,
    DISCOVERY_RESULT_FAILED = 1,
    DISCOVERY_RESULT_INVALID_ADDRESS = 2,
    DISCOVERY_RESULT_INVALID_PORT = 3,
    DISCOVERY_RESULT_INVALID_CONFIG = 4,
    DISCOVERY_RESULT_LOGIN_FAILED = 5,
};

#pragma pack(push, 1)
struct DISCOVERY_DATA {
    std::uint32_t command;
    std::uint32_t result;
    char userId[32];
    unsigned char passwordDigest[32];  // 16 digest bytes, then 16 zero bytes
    char macAddress[24];
    char productName[32];
    char manufacturer[32];
    char deviceName[32];
    char firmwareVersion[36];
    std::uint32_t dhcp;  // 0 static, 1 DHCP; the panel's "none" goes out as all bits set
    char ipAddress[32];
    char subnetMask[32];
    char gateway[32];
    char dns[32];
    std::uint16_t webPort;
    std::uint16_t controlPort;
    std::uint16_t videoPort;
    std::uint16_t audioReceivePort;
    std::uint16_t audioTransmitPort;
    std::uint8_t httpsEnabled;
};
#pragma pack(pop)

static_assert(sizeof(DISCOVERY_DATA) == DISCOVERY_DATA_SIZE);
// Each member's place is held against the test scripts' description of the
// record by tests/unit/record_layout_test.py.

// The search request: command 3, every other byte zero.
DISCOVERY_DATA MakeSearchRequest();

// The operator's text for a configuration reply's `result`, or null for a
// code that has none (6 and above).
const char* ApplyResultText(std::uint32_t result);

// Panel values become record values by keeping their low bits: a port of
// 65536 goes out as 0 and -1 as 65535; an address mode of -1 (no radio
// checked) as FF FF FF FF.
constexpr std::uint16_t PortFromPanel(long value)
{
    return static_cast<std::uint16_t>(static_cast<unsigned long>(value) & 0xFFFFu);
}
constexpr std::uint32_t AddressModeFromPanel(int index)
{
    return static_cast<std::uint32_t>(index);
}
constexpr std::uint8_t HttpsFromPanel(int value)
{
    return static_cast<std::uint8_t>(static_cast<unsigned int>(value) & 0xFFu);
}
