#include "text_join.h"

std::string JoinTexts(const std::vector<std::string>& items, std::string_view separator)
{
    return JoinTexts(items, separator, [](const std::string& item) -> const std::string& { return item; });
}
