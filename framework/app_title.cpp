#include "app_title.h"

std::string AppTitleFromModulePath(std::string_view path, bool (*isLeadByte)(unsigned char))
{
    std::size_t nameStart = 0;
    std::size_t lastDot = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (isLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) {
            ++i;
        } else if (c == '\\' || c == '/' || c == ':') {
            nameStart = i + 1;
            lastDot = std::string_view::npos;
        } else if (c == '.') {
            lastDot = i;
        }
    }
    const std::size_t end = lastDot != std::string_view::npos && lastDot > nameStart ? lastDot : path.size();
    return std::string(path.substr(nameStart, end - nameStart));
}
