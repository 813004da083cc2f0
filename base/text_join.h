// Lists as one line of text: "a, b, c".
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The items joined by `separator`; "" for none.
std::string JoinTexts(const std::vector<std::string>& items, std::string_view separator);

// The text `text(item)` of each item, joined by `separator`.
template <class Items, class Text>
std::string JoinTexts(const Items& items, std::string_view separator, Text text)
{
    std::string joined;
    bool first = true;
    for (const auto& item : items) {
        if (!first)
            joined += separator;
        joined += text(item);
        first = false;
    }
    return joined;
}
