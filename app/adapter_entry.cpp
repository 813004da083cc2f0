#include "adapter_entry.h"

namespace {

// As much of `text` as fits `maxBytes` of ANSI text, cut between characters.
std::string AnsiPrefix(const wchar_t* text, int maxBytes)
{
    for (int length = ::lstrlenW(text); length > 0; --length) {
        const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
        if (bytes > 0 && bytes <= maxBytes) {
            std::string ansi(static_cast<std::size_t>(bytes), '\0');
            ::WideCharToMultiByte(CP_ACP, 0, text, length, ansi.data(), bytes, nullptr, nullptr);
            return ansi;
        }
    }
    return {};
}

}  // namespace

std::string AdapterEntryText(const wchar_t* friendlyName, const std::string& address)
{
    static constexpr char separator[] = " : ";
    const std::size_t fixed = address.size() + sizeof separator - 1;
    if (fixed >= ADAPTER_ENTRY_BUFFER)
        return address.substr(0, ADAPTER_ENTRY_BUFFER - 1);
    const int room = static_cast<int>(ADAPTER_ENTRY_BUFFER - 1 - fixed);
    return AnsiPrefix(friendlyName ? friendlyName : L"", room) + separator + address;
}
