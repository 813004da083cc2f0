#include "adapter_entry.h"

#include "ansi_lead_byte.h"

std::string AdapterEntryText(const std::string& friendlyName, const std::string& address)
{
    static constexpr char separator[] = " : ";
    const std::size_t fixed = address.size() + sizeof separator - 1;
    if (fixed >= ADAPTER_ENTRY_BUFFER)
        return address.substr(0, ADAPTER_ENTRY_BUFFER - 1);
    const std::size_t room = ADAPTER_ENTRY_BUFFER - 1 - fixed;
    std::size_t kept = 0;
    while (kept < friendlyName.size()) {
        const std::size_t width =
            IsAnsiLeadByte(static_cast<unsigned char>(friendlyName[kept])) && kept + 1 < friendlyName.size() ? 2 : 1;
        if (kept + width > room)
            break;
        kept += width;
    }
    return friendlyName.substr(0, kept) + separator + address;
}
