#include "args.h"

#include <cerrno>
#include <cstdlib>

#include "errors.h"

Args::Args(const std::vector<std::string>& words, const std::vector<OptionSpec>& allowed)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
            positional_.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionSpec* option = nullptr;
        for (const OptionSpec& candidate : allowed) {
            if (word == candidate.name) {
                option = &candidate;
            }
        }
        if (option == nullptr) {
            throw UsageError("unknown option " + word + " (a text that begins with \"--\" goes after a word \"--\")");
        }
        if (!option->takesValue) {
            options_.emplace_back(word, "");
            continue;
        }
        if (i + 1 == words.size()) {
            throw UsageError("option " + word + " needs a value");
        }
        options_.emplace_back(word, words[++i]);
    }
}

std::optional<std::string> Args::Value(const std::string& name) const
{
    std::optional<std::string> value;
    for (const auto& option : options_) {
        if (option.first == name) {
            value = option.second;
        }
    }
    return value;
}

bool Args::Flag(const std::string& name) const
{
    return Value(name).has_value();
}

long long ParseInteger(const std::string& text, const std::string& what)
{
    if (text.empty()) {
        throw UsageError(what + " must be a number, not an empty text");
    }
    // Base 0 would read a leading 0 as octal; ids are written in decimal.
    size_t digits = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    bool hex = text.size() > digits + 1 && text[digits] == '0' && (text[digits + 1] == 'x' || text[digits + 1] == 'X');
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || errno == ERANGE || text.find_first_of(" \t") != std::string::npos) {
        throw UsageError(what + " must be a number, not \"" + text + "\"");
    }
    return value;
}

DWORD ParseMilliseconds(const std::string& text)
{
    long long value = ParseInteger(text, "a time limit in milliseconds");
    if (value < 0 || value > 24LL * 3600 * 1000) {
        throw UsageError("a time limit must lie between 0 and 86400000 ms, not " + text);
    }
    return static_cast<DWORD>(value);
}
