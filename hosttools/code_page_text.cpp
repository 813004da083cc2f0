#include "code_page_text.h"

#include <limits>

std::optional<std::wstring> WideFromCodePage(UINT codePage, std::string_view text)
{
    if (text.empty())
        return std::wstring();
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return std::nullopt;
    const int length = static_cast<int>(text.size());
    // Invalid bytes fail the conversion rather than turn into replacement marks.
    const int needed = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), needed) != needed)
        return std::nullopt;
    return wide;
}
