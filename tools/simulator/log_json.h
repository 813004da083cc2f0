// The simulator's log: one JSON object per line, in ASCII. Texts from
// records are written byte for byte (json_text.h), so a reader gets the
// exact bytes back by encoding the string as Latin-1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device_farm.h"

// A JSON object built member by member, in the order they are added.
class JsonObject {
public:
    JsonObject& Number(std::string_view key, std::uint64_t value);
    JsonObject& Seconds(std::string_view key, double value);  // six decimals: microseconds
    JsonObject& Flag(std::string_view key, bool value);
    JsonObject& Text(std::string_view key, std::string_view bytes);
    JsonObject& Raw(std::string_view key, std::string_view json);
    std::string Str() const { return "{" + members_ + "}"; }

private:
    void Key(std::string_view key);
    std::string members_;
};

// The start of every line: the monotonic and the wall-clock time.
JsonObject LogStamp(double mono, std::string_view wall);

// The fields of a datagram that lie wholly within its `length` bytes, by the
// record's member names: numbers, texts by the read rule, the digest in hex.
std::string DecodeRecord(const unsigned char* data, std::size_t length);

struct DatagramLog {
    double mono;
    std::string wall;
    bool outgoing;
    std::string peer;  // where it came from or went to
    std::uint16_t peerPort;
    std::uint16_t localPort;
    std::string localAddress;   // the address it was sent to, for datagrams received
    std::string interfaceName;  // the interface it came in on, for datagrams received
    std::optional<std::size_t> device;
    const unsigned char* data;
    std::size_t length;
};

std::string DatagramLine(const DatagramLog& datagram);

std::string EventLine(double mono, std::string_view wall, const FarmEvent& event);
