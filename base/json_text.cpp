#include "json_text.h"

std::string JsonString(std::string_view bytes, JsonBytes form)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string json = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20 || (byte >= 0x7F && (byte < 0xA0 || form == JsonBytes::Ascii))) {
            json += "\\u00";
            json += digits[byte >> 4];
            json += digits[byte & 0xF];
        } else if (byte < 0x80) {
            json += c;
        } else {
            json += static_cast<char>(0xC0 | byte >> 6);
            json += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return json + '"';
}
