#include "safe_text.h"

std::string SafeText(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            text += "\\x";
            text += digits[byte >> 4];
            text += digits[byte & 0xF];
        }
    }
    return text;
}

std::string ShortText(std::string_view bytes, std::size_t shown)
{
    if (bytes.size() <= shown)
        return SafeText(bytes);
    // Cut before escaping, so that no \xNN is broken.
    return SafeText(bytes.substr(0, shown)) + "... (" + std::to_string(bytes.size()) + " bytes)";
}
