#include "io/json_reading.h"

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool Whole(JsonValue& value, std::string& error)
    {
        Blanks();
        bool read = Value(value, 0);
        if (read) {
            Blanks();
            read = at_ == text_.size() || Fault("more after the value");
        }
        if (!read)
            error = error_ + " at byte " + std::to_string(at_ + 1);
        return read;
    }

private:
    bool Fault(const char* what)
    {
        if (error_.empty())
            error_ = what;
        return false;
    }

    void Blanks()
    {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n'))
            ++at_;
    }

    bool Word(std::string_view word)
    {
        if (text_.substr(at_, word.size()) != word)
            return Fault("not a JSON value");
        at_ += word.size();
        return true;
    }

    bool Value(JsonValue& value, int depth)
    {
        if (at_ >= text_.size())
            return Fault("the text ends where a value should be");
        const char c = text_[at_];
        if (c == '{' || c == '[') {
            if (depth >= kJsonDepth)
                return Fault("nested too deep");
            return c == '{' ? Object(value, depth + 1) : Array(value, depth + 1);
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            return String(value.text);
        }
        if (c == 't' || c == 'f') {
            value.kind = JsonValue::Kind::Bool;
            value.boolean = c == 't';
            return Word(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            value.kind = JsonValue::Kind::Null;
            return Word("null");
        }
        return Number(value);
    }

    bool Digits()
    {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            ++at_;
        return at_ > start || Fault("a number without digits");
    }

    bool Number(JsonValue& value)
    {
        const std::size_t start = at_;
        if (text_[at_] == '-')
            ++at_;
        if (at_ >= text_.size() || text_[at_] < '0' || text_[at_] > '9')
            return Fault("not a JSON value");
        if (!Digits())
            return false;
        if (at_ < text_.size() && text_[at_] == '.' && (++at_, !Digits()))
            return false;
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-'))
                ++at_;
            if (!Digits())
                return false;
        }
        value.kind = JsonValue::Kind::Number;
        value.text = std::string(text_.substr(start, at_ - start));
        return true;
    }

    bool Hex4(unsigned& code)
    {
        if (text_.size() - at_ < 4)
            return Fault("a \\u escape without four hex digits");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            const unsigned digit = c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
                                   : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                   : c >= 'A' && c <= 'F' ? static_cast<unsigned>(c - 'A' + 10)
                                                          : 16u;
            if (digit == 16)
                return Fault("a \\u escape without four hex digits");
            code = code * 16 + digit;
        }
        return true;
    }

    static void Utf8(unsigned code, std::string& out)
    {
        if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        }
        out += static_cast<char>(0x80 | (code & 0x3F));
    }

    // A character up to U+00FF is its byte (JsonString's rule backwards);
    // others keep their UTF-8 bytes.
    static void Character(unsigned code, std::string& out)
    {
        if (code < 0x100)
            out += static_cast<char>(code);
        else
            Utf8(code, out);
    }

    bool String(std::string& out)
    {
        ++at_;  // "
        out.clear();
        while (at_ < text_.size()) {
            const auto c = static_cast<unsigned char>(text_[at_++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return Fault("a control character inside a string");
            if (c == '\\') {
                if (at_ >= text_.size())
                    break;
                const char e = text_[at_++];
                static constexpr char kFrom[] = "\"\\/bfnrt";
                static constexpr char kTo[] = "\"\\/\b\f\n\r\t";
                const char* known = e ? std::char_traits<char>::find(kFrom, 8, e) : nullptr;
                if (known) {
                    out += kTo[known - kFrom];
                    continue;
                }
                if (e != 'u')
                    return Fault("an unknown escape in a string");
                unsigned code = 0;
                if (!Hex4(code))
                    return false;
                if (code >= 0xD800 && code < 0xDC00 && text_.substr(at_, 2) == "\\u") {
                    at_ += 2;
                    unsigned low = 0;
                    if (!Hex4(low))
                        return false;
                    if (low < 0xDC00 || low >= 0xE000)
                        return Fault("a broken surrogate pair");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xD800 && code < 0xE000) {
                    return Fault("a broken surrogate pair");
                }
                Character(code, out);
                continue;
            }
            if (c < 0x80) {
                out += static_cast<char>(c);
                continue;
            }
            // UTF-8: the character's code, checked.
            const int more = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
            if (more < 0 || c >= 0xF5 || text_.size() - at_ < static_cast<std::size_t>(more))
                return Fault("bytes that are not UTF-8 inside a string");
            unsigned code = c & (0x3F >> more);
            for (int i = 0; i < more; ++i) {
                const auto next = static_cast<unsigned char>(text_[at_++]);
                if ((next & 0xC0) != 0x80)
                    return Fault("bytes that are not UTF-8 inside a string");
                code = code << 6 | (next & 0x3F);
            }
            const unsigned least[] = {0, 0x80, 0x800, 0x10000};
            if (code < least[more] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
                return Fault("bytes that are not UTF-8 inside a string");
            Character(code, out);
        }
        return Fault("a string is never closed");
    }

    bool Array(JsonValue& value, int depth)
    {
        ++at_;  // [
        value.kind = JsonValue::Kind::Array;
        Blanks();
        if (at_ < text_.size() && text_[at_] == ']')
            return ++at_, true;
        for (;;) {
            Blanks();
            value.items.emplace_back();
            if (!Value(value.items.back(), depth))
                return false;
            Blanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == ']')
                return ++at_, true;
            return Fault("an array without , or ] after a value");
        }
    }

    bool Object(JsonValue& value, int depth)
    {
        ++at_;  // {
        value.kind = JsonValue::Kind::Object;
        Blanks();
        if (at_ < text_.size() && text_[at_] == '}')
            return ++at_, true;
        for (;;) {
            Blanks();
            if (at_ >= text_.size() || text_[at_] != '"')
                return Fault("an object member without a quoted name");
            std::string key;
            if (!String(key))
                return false;
            Blanks();
            if (at_ >= text_.size() || text_[at_] != ':')
                return Fault("an object member without : after its name");
            ++at_;
            Blanks();
            JsonValue member;
            if (!Value(member, depth))
                return false;
            value.members[key] = std::move(member);
            Blanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}')
                return ++at_, true;
            return Fault("an object without , or } after a member");
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

}  // namespace

const JsonValue* JsonValue::Member(const std::string& key) const
{
    if (kind != Kind::Object)
        return nullptr;
    const auto found = members.find(key);
    return found == members.end() ? nullptr : &found->second;
}

bool ParseJson(std::string_view text, JsonValue& value, std::string& error)
{
    value = JsonValue{};
    return Reader(text).Whole(value, error);
}
