#include "probe/probe_output.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "io/counted.h"
#include "io/csv.h"
#include "io/json.h"
#include "io/table.h"
#include "ipv4_text.h"
#include "text_join.h"

namespace {

struct Row {
    const char* state;
    std::vector<std::string> macs;
    std::string ownMac;  // this computer's, when the address is its own and its MAC answered
};

constexpr char kThisComputer[] = "this computer";

const char* StateOf(const std::vector<MacAddress>& macs)
{
    return macs.empty() ? "free" : macs.size() == 1 ? "used" : "conflict";
}

// Both kinds of address in one ascending order.
std::map<std::uint32_t, Row> Rows(const AddressUse& use, const std::map<std::uint32_t, MacAddress>& own)
{
    std::map<std::uint32_t, Row> rows;
    for (const auto& [address, macs] : use.ProbedAddresses()) {
        Row& row = rows[address];
        row.state = StateOf(macs);
        const auto ours = own.find(address);
        for (const MacAddress& mac : macs) {
            row.macs.push_back(FormatMac(mac));
            if (ours != own.end() && ours->second == mac)
                row.ownMac = row.macs.back();
        }
    }
    for (const std::uint32_t address : use.NotProbedAddresses()) {
        if (!rows.count(address))
            rows[address].state = "not-probed";
    }
    return rows;
}

std::string Joined(const std::vector<std::string>& macs, const char* empty)
{
    std::string text;
    for (const std::string& mac : macs)
        text += (text.empty() ? "" : " ") + mac;
    return text.empty() ? empty : text;
}

}  // namespace

ProbeCounts CountProbe(const AddressUse& use)
{
    ProbeCounts counts;
    for (const auto& [address, row] : Rows(use, {})) {
        const std::string state = row.state;
        ++(state == "used"       ? counts.used
           : state == "conflict" ? counts.conflict
           : state == "free"     ? counts.free
                                 : counts.notProbed);
    }
    return counts;
}

std::string FormatProbe(const AddressUse& use, const std::map<std::uint32_t, MacAddress>& own, OutputFormat format)
{
    const std::map<std::uint32_t, Row> rows = Rows(use, own);
    if (format == OutputFormat::Json) {
        std::vector<std::string> objects;
        for (const auto& [address, row] : rows) {
            const std::string macs = JoinTexts(row.macs, ", ", [](const std::string& mac) { return JsonString(mac); });
            objects.push_back(JsonObject({{"address", JsonString(FormatIPv4(address))},
                                          {"state", JsonString(row.state)},
                                          {"macs", "[" + macs + "]"},
                                          {"this_computer", row.ownMac.empty() ? "null" : JsonString(row.ownMac)}}));
        }
        return JsonArray(objects) + '\n';
    }
    if (format == OutputFormat::Csv) {
        std::string text = CsvLine({"address", "state", "macs", "this_computer"});
        for (const auto& [address, row] : rows)
            text += CsvLine({FormatIPv4(address), row.state, Joined(row.macs, ""), row.ownMac});
        return text;
    }
    std::vector<std::vector<std::string>> cells;
    for (const auto& [address, row] : rows) {
        std::vector<std::string> macs = row.macs;
        std::replace(macs.begin(), macs.end(), row.ownMac, std::string(kThisComputer));
        cells.push_back({FormatIPv4(address), row.state, Joined(macs, "-")});
    }
    return FormatTable({"address", "state", "macs"}, cells);
}

std::string ProbeSummary(const ProbeCounts& counts)
{
    const std::size_t total = counts.used + counts.conflict + counts.free + counts.notProbed;
    return Counted(total, "address", "addresses") + ": " + std::to_string(counts.used) + " used, " +
           Counted(counts.conflict, "conflict") + ", " + std::to_string(counts.free) + " free, " +
           std::to_string(counts.notProbed) + " not probed";
}
