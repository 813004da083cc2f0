#include "probe/neighbour_table.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ipv4_text.h"

namespace {

constexpr unsigned long kComplete = 0x2;  // ATF_COM

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
        if (at > start)
            words.push_back(line.substr(start, at - start));
    }
    return words;
}

bool HexFlags(std::string_view text, unsigned long& flags)
{
    if (text.size() < 3 || text.size() > 10 || text.substr(0, 2) != "0x")
        return false;
    flags = 0;
    for (const char c : text.substr(2)) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return false;
        flags = flags * 16 + static_cast<unsigned long>(digit);
    }
    return true;
}

}  // namespace

std::map<std::uint32_t, MacAddress> ResolvedNeighbours(std::string_view text)
{
    std::map<std::uint32_t, MacAddress> resolved;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        // IP address, HW type, Flags, HW address, Mask, Device.
        const std::vector<std::string_view> words = Words(line);
        unsigned long flags = 0;
        if (words.size() != 6 || !HexFlags(words[2], flags) || !(flags & kComplete))
            continue;
        const auto address = ParseIPv4(words[0]);
        const auto mac = ParseMac(words[3]);
        if (!address || !mac || std::all_of(mac->begin(), mac->end(), [](unsigned char b) { return b == 0; }))
            continue;
        resolved.emplace(*address, *mac);
    }
    return resolved;
}
