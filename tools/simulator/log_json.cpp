#include "log_json.h"

#include <cstdio>

#include "hex.h"
#include "json_text.h"
#include "record_fields.h"

namespace {

const char* EventName(FarmEvent::Kind kind)
{
    switch (kind) {
        case FarmEvent::Kind::Quiet:
            return "quiet";
        case FarmEvent::Kind::Config:
            return "config";
        case FarmEvent::Kind::Refused:
            return "refused";
        case FarmEvent::Kind::Reboot:
            return "reboot";
        case FarmEvent::Kind::FactoryReset:
            return "factory-reset";
        case FarmEvent::Kind::Back:
            return "back";
        case FarmEvent::Kind::NoMatch:
            return "no-match";
        case FarmEvent::Kind::Ignored:
            return "ignored";
        case FarmEvent::Kind::Arrive:
            return "arrive";
        case FarmEvent::Kind::Leave:
            return "leave";
        case FarmEvent::Kind::Move:
            return "move";
    }
    return "unknown";
}

}  // namespace

void JsonObject::Key(std::string_view key)
{
    if (!members_.empty())
        members_ += ", ";
    members_ += JsonString(key, JsonBytes::Ascii);
    members_ += ": ";
}

JsonObject& JsonObject::Number(std::string_view key, std::uint64_t value)
{
    Key(key);
    members_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Seconds(std::string_view key, double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.6f", value);
    Key(key);
    members_ += text;
    return *this;
}

JsonObject& JsonObject::Flag(std::string_view key, bool value)
{
    Key(key);
    members_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::Text(std::string_view key, std::string_view bytes)
{
    Key(key);
    members_ += JsonString(bytes, JsonBytes::Ascii);
    return *this;
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json)
{
    Key(key);
    members_ += json;
    return *this;
}

JsonObject LogStamp(double mono, std::string_view wall)
{
    JsonObject line;
    line.Seconds("mono", mono).Text("wall", wall);
    return line;
}

std::string DecodeRecord(const unsigned char* data, std::size_t length)
{
    JsonObject record;
    for (const RecordField& field : RecordFields()) {
        if (field.offset + field.width > length)
            break;
        const unsigned char* bytes = data + field.offset;
        switch (field.kind) {
            case FieldKind::Number:
                record.Number(field.name, ReadNumberField(data, field));
                break;
            case FieldKind::Text: {
                std::size_t textLength = 0;
                while (textLength < field.width && bytes[textLength] != 0)
                    ++textLength;
                record.Text(field.name, std::string_view(reinterpret_cast<const char*>(bytes), textLength));
                break;
            }
            case FieldKind::Bytes:
                record.Text(field.name, ToHex(bytes, field.width));
                break;
        }
    }
    return record.Str();
}

std::string DatagramLine(const DatagramLog& d)
{
    JsonObject line = LogStamp(d.mono, d.wall);
    line.Text("dir", d.outgoing ? "out" : "in").Text("peer", d.peer).Number("peer_port", d.peerPort);
    line.Number("local_port", d.localPort);
    if (!d.localAddress.empty())
        line.Text("local_address", d.localAddress);
    if (!d.interfaceName.empty())
        line.Text("interface", d.interfaceName);
    if (d.device)
        line.Number("device", *d.device);
    line.Number("length", d.length).Text("hex", ToHex(d.data, d.length));
    line.Raw("record", DecodeRecord(d.data, d.length));
    return line.Str();
}

std::string EventLine(double mono, std::string_view wall, const FarmEvent& e)
{
    JsonObject line = LogStamp(mono, wall);
    line.Text("event", EventName(e.kind));
    if (e.device)
        line.Number("device", *e.device).Text("mac", e.mac);
    if (e.command != 0)
        line.Number("command", e.command);
    switch (e.kind) {
        case FarmEvent::Kind::Config:
            line.Number("result", e.result).Flag("applied", e.applied).Flag("forced", e.forced);
            line.Number("replies", e.replies);
            break;
        case FarmEvent::Kind::Reboot:
        case FarmEvent::Kind::FactoryReset:
            line.Seconds("until", e.until);
            break;
        case FarmEvent::Kind::NoMatch:
            line.Text("mac", e.detail);
            break;
        case FarmEvent::Kind::Quiet:
        case FarmEvent::Kind::Refused:
        case FarmEvent::Kind::Ignored:
            line.Text("reason", e.detail);
            break;
        case FarmEvent::Kind::Move:
            line.Text("ip", e.detail);
            break;
        case FarmEvent::Kind::Back:
        case FarmEvent::Kind::Arrive:
        case FarmEvent::Kind::Leave:
            break;
    }
    return line.Str();
}
