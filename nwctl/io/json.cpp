#include "io/json.h"

std::string JsonString(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string json = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
            json += "\\u00";
            json += digits[byte >> 4];
            json += digits[byte & 0xF];
        } else if (byte < 0x80) {
            json += c;
        } else {
            // U+00A0 to U+00FF in UTF-8.
            json += static_cast<char>(0xC0 | byte >> 6);
            json += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return json + '"';
}

std::string JsonObject(const JsonMembers& members)
{
    std::string json = "{";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0)
            json += ", ";
        json += JsonString(members[i].first) + ": " + members[i].second;
    }
    return json + '}';
}

std::string JsonArray(const std::vector<std::string>& values)
{
    if (values.empty())
        return "[]";
    std::string json = "[\n";
    for (std::size_t i = 0; i < values.size(); ++i)
        json += "  " + values[i] + (i + 1 < values.size() ? ",\n" : "\n");
    return json + ']';
}
