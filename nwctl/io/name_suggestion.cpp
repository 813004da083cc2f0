#include "io/name_suggestion.h"

#include <algorithm>

namespace {

std::string Normalised(std::string_view name)
{
    std::string normalised;
    for (const char c : name) {
        if (c >= 'A' && c <= 'Z')
            normalised += static_cast<char>(c - 'A' + 'a');
        else if (c == ' ' || c == '-')
            normalised += '_';
        else
            normalised += c;
    }
    return normalised;
}

// Letters wrong, missing or extra, and two neighbours swapped, each one slip.
std::size_t Slips(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// A header cell is a few words: longer text is no name to compare.
constexpr std::size_t kLongestCompared = 64;
constexpr std::size_t kMostSlips = 2;

}  // namespace

std::optional<std::string> NearestName(std::string_view given, const std::vector<std::string>& known)
{
    if (given.size() > kLongestCompared)
        return std::nullopt;
    const std::string name = Normalised(given);
    std::optional<std::string> nearest;
    std::size_t fewest = kMostSlips + 1;
    for (const std::string& candidate : known) {
        // Two slips in a name of three letters make it another word.
        const std::size_t slips = Slips(name, candidate);
        if (slips < fewest && slips * 2 < candidate.size()) {
            fewest = slips;
            nearest = candidate;
        }
    }
    if (nearest)
        return nearest;
    for (const std::string& candidate : known) {
        if (name.compare(0, candidate.size() + 1, candidate + '_') == 0 &&
            (!nearest || candidate.size() > nearest->size()))
            nearest = candidate;
    }
    return nearest;
}
