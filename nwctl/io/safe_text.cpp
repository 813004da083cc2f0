#include "io/safe_text.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

void Escape(std::string& text, unsigned char byte)
{
    text += "\\x";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
}

// The length of the UTF-8 sequence at the start of `bytes` and the
// character it encodes; 0 when it is none.
std::size_t Utf8Sequence(std::string_view bytes, char32_t& character)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = lead >= 0xF5 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || bytes.size() < length)
        return 0;
    character = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        character = (character << 6) | (next & 0x3F);
    }
    return length;
}

}  // namespace

std::string SafeText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            Escape(text, byte);
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

std::string PathText(std::string_view path)
{
    const std::string_view shown = path.substr(0, kPathShown);
    std::string text;
    text.reserve(shown.size());
    for (std::size_t at = 0; at < shown.size();) {
        const auto byte = static_cast<unsigned char>(shown[at]);
        char32_t character = 0;
        const std::size_t length = byte >= 0x80 ? Utf8Sequence(shown.substr(at), character) : 0;
        if (length > 0) {
            // A C1 control in UTF-8 is one to a terminal too.
            for (std::size_t i = 0; i < length; ++i) {
                if (character < 0xA0)
                    Escape(text, static_cast<unsigned char>(shown[at + i]));
                else
                    text += shown[at + i];
            }
            at += length;
            continue;
        }
        // A byte of another code page (a Windows path's letters) is shown
        // unless it is where C1 controls are.
        if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0))
            Escape(text, byte);
        else
            text += shown[at];
        ++at;
    }
    if (path.size() > kPathShown)
        text += "... (" + std::to_string(path.size()) + " bytes)";
    return text;
}
