#include "json.h"

#include "json_text.h"

Json Json::Object()
{
    Json value;
    value.kind_ = Kind::Object;
    return value;
}

Json Json::Array()
{
    Json value;
    value.kind_ = Kind::Array;
    return value;
}

Json& Json::Set(const std::string& key, Json value)
{
    for (auto& member : members_) {
        if (member.first == key) {
            member.second = std::move(value);
            return *this;
        }
    }
    members_.emplace_back(key, std::move(value));
    return *this;
}

Json& Json::Push(Json value)
{
    items_.push_back(std::move(value));
    return *this;
}

Json& Json::Merge(const Json& other)
{
    for (const auto& member : other.members_) {
        Set(member.first, member.second);
    }
    return *this;
}

std::string Json::Dump() const
{
    std::string out;
    DumpTo(out);
    return out;
}

void Json::DumpTo(std::string& out) const
{
    switch (kind_) {
        case Kind::Null:
            out += "null";
            break;
        case Kind::Bool:
            out += bool_ ? "true" : "false";
            break;
        case Kind::Number:
            out += std::to_string(number_);
            break;
        case Kind::String:
            out += JsonString(string_, JsonBytes::Ascii);
            break;
        case Kind::Array:
            out += '[';
            for (size_t i = 0; i < items_.size(); ++i) {
                if (i > 0) {
                    out += ", ";
                }
                items_[i].DumpTo(out);
            }
            out += ']';
            break;
        case Kind::Object:
            out += '{';
            for (size_t i = 0; i < members_.size(); ++i) {
                if (i > 0) {
                    out += ", ";
                }
                out += JsonString(members_[i].first, JsonBytes::Ascii);
                out += ": ";
                members_[i].second.DumpTo(out);
            }
            out += '}';
            break;
    }
}
