#include "session_line.h"

#include <cctype>

#include "errors.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class JsonArrayReader {
public:
    explicit JsonArrayReader(std::string_view text) : text_(text) {}

    std::vector<std::string> Read()
    {
        std::vector<std::string> words;
        Expect('[');
        SkipBlanks();
        if (Peek() == ']') {
            ++pos_;
        } else {
            for (;;) {
                SkipBlanks();
                words.push_back(ReadString());
                SkipBlanks();
                char c = Next();
                if (c == ']') {
                    break;
                }
                if (c != ',') {
                    Fail("',' or ']' expected");
                }
            }
        }
        SkipBlanks();
        if (pos_ != text_.size()) {
            Fail("text after the array");
        }
        return words;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw UsageError("bad JSON command line at character " + std::to_string(pos_ + 1) + ": " + what);
    }
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    char Next()
    {
        if (pos_ >= text_.size()) {
            Fail("unexpected end of line");
        }
        return text_[pos_++];
    }
    void SkipBlanks()
    {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) {
            ++pos_;
        }
    }
    void Expect(char c)
    {
        SkipBlanks();
        if (Next() != c) {
            Fail(std::string("'") + c + "' expected");
        }
    }
    unsigned ReadHex4()
    {
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            char c = Next();
            if (!std::isxdigit(static_cast<unsigned char>(c))) {
                Fail("bad \\u escape");
            }
            value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                                           ? c - '0'
                                                           : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        }
        return value;
    }
    std::string ReadString()
    {
        if (Next() != '"') {
            Fail("every word must be a string");
        }
        std::string word;
        for (;;) {
            char c = Next();
            if (c == '"') {
                return word;
            }
            if (c != '\\') {
                word += c;
                continue;
            }
            switch (char e = Next()) {
                case '"':
                case '\\':
                case '/':
                    word += e;
                    break;
                case 'b':
                    word += '\b';
                    break;
                case 'f':
                    word += '\f';
                    break;
                case 'n':
                    word += '\n';
                    break;
                case 'r':
                    word += '\r';
                    break;
                case 't':
                    word += '\t';
                    break;
                case 'u': {
                    unsigned code = ReadHex4();
                    if (code > 0xFF) {
                        Fail("\\u escapes stand for single ANSI bytes and go up to \\u00ff");
                    }
                    word += static_cast<char>(code);
                    break;
                }
                default:
                    Fail("bad escape");
            }
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

std::vector<std::string> SplitSessionLine(std::string_view line)
{
    return JsonArrayReader(line).Read();
}
