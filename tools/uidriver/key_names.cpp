#include "key_names.h"

#include <algorithm>
#include <cctype>

#include "ansi_text.h"
#include "args.h"
#include "errors.h"

namespace {

struct KeyName {
    const char* name;
    UINT key;
};

constexpr KeyName kKeys[] = {
    {"Enter", VK_RETURN},  {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"Space", VK_SPACE},  {"Backspace", VK_BACK},
    {"Delete", VK_DELETE}, {"Insert", VK_INSERT}, {"Up", VK_UP},   {"Down", VK_DOWN},    {"Left", VK_LEFT},
    {"Right", VK_RIGHT},   {"Home", VK_HOME},     {"End", VK_END}, {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT},
};

}  // namespace

UINT VirtualKeyOf(const std::string& name)
{
    for (const KeyName& key : kKeys) {
        if (SameIgnoringCase(name, key.name)) {
            return key.key;
        }
    }
    std::string lower;
    for (char c : name) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    bool functionKey = lower.size() >= 2 && lower.size() <= 3 && lower[0] == 'f' &&
                       std::all_of(lower.begin() + 1, lower.end(),
                                   [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    if (functionKey) {
        long long number = ParseInteger(lower.substr(1), "a function key number");
        if (number >= 1 && number <= 12) {
            return static_cast<UINT>(VK_F1 + number - 1);
        }
    }
    if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0]))) {
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(lower[0])));
    }
    if (lower.compare(0, 3, "vk=") == 0) {
        long long key = ParseInteger(lower.substr(3), "a virtual key");
        if (key > 0 && key < 256) {
            return static_cast<UINT>(key);
        }
    }
    throw UsageError("unknown key \"" + name + "\"; keys are " + KeyNamesText());
}

std::string KeyNamesText()
{
    std::string text;
    for (const KeyName& key : kKeys) {
        text += key.name;
        text += ", ";
    }
    return text + "F1 to F12, a letter or digit, or vk=N (a virtual-key code)";
}
