#include "report/report_json.h"

#include "device/device_output.h"
#include "io/json.h"
#include "ipv4_text.h"

namespace {

std::string Counts(const std::vector<ReportCount>& counts)
{
    std::vector<std::string> objects;
    for (const ReportCount& count : counts)
        objects.push_back(JsonObject({{"label", JsonString(count.label)}, {"count", std::to_string(count.count)}}));
    return JsonArray(objects);
}

std::string Texts(const std::vector<std::string>& texts)
{
    std::vector<std::string> values;
    for (const std::string& text : texts)
        values.push_back(JsonString(text));
    return JsonArray(values);
}

std::string OptionalText(const std::optional<std::string>& text)
{
    return text ? JsonString(*text) : "null";
}

std::string Change(const AuditChange& change)
{
    std::vector<std::string> settings;
    for (const SettingDifference& d : change.changes)
        settings.push_back(JsonObject({{"setting", JsonString(kSettingNames[static_cast<std::size_t>(d.setting)])},
                                       {"from", JsonString(d.from)},
                                       {"to", JsonString(d.to)}}));
    return JsonObject({{"log", JsonString(change.log)},
                       {"mac", JsonString(change.mac)},
                       {"time", JsonString(change.time)},
                       {"event", JsonString(change.event)},
                       {"error", JsonString(change.error)},
                       {"changes", JsonArray(settings)},
                       {"result", OptionalText(change.result)},
                       {"verified", change.verified ? (*change.verified ? "true" : "false") : "null"},
                       {"probed", change.probed ? (*change.probed ? "true" : "false") : "null"}});
}

std::string AddressMap(const ReportModel& model)
{
    JsonMembers counts;
    for (std::size_t s = 0; s < kMapStateCount; ++s)
        counts.emplace_back(MapStateName(static_cast<MapState>(s)), std::to_string(model.stateCounts[s]));
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < model.cells.size(); ++i)
        cells.push_back(
            JsonObject({{"address", JsonString(FormatIPv4(model.map.first + static_cast<std::uint32_t>(i)))},
                        {"state", JsonString(MapStateName(model.cells[i].state))},
                        {"detail", JsonString(model.cells[i].detail)}}));
    if (model.cells.empty())
        return "null";
    return JsonObject({{"first", JsonString(FormatIPv4(model.map.first))},
                       {"last", JsonString(FormatIPv4(model.map.first + (model.map.count - 1)))},
                       {"prefix", std::to_string(model.map.prefix)},
                       {"whole", model.map.whole ? "true" : "false"},
                       {"probe_limit", JsonString(model.probeLimit)},
                       {"counts", JsonObject(counts)},
                       {"addresses", JsonArray(cells)}});
}

}  // namespace

std::string ReportJson(const ReportModel& model)
{
    std::vector<std::string> adapters, findings, changes;
    for (const Adapter& adapter : model.adapters)
        adapters.push_back(JsonObject({{"name", JsonString(adapter.name)},
                                       {"address", JsonString(FormatIPv4(adapter.address))},
                                       {"mask", JsonString(FormatIPv4(adapter.mask))}}));
    for (const InventoryFinding& finding : model.findings)
        findings.push_back(JsonObject({{"kind", JsonString(finding.kind)},
                                       {"mac", JsonString(finding.mac)},
                                       {"ip", JsonString(finding.ip)},
                                       {"detail", JsonString(finding.detail)}}));
    for (const AuditChange& change : model.changes)
        changes.push_back(Change(change));
    std::string devices = FormatDevices(model.devices, OutputFormat::Json, ShownFields(OutputFormat::Json, {}, false));
    devices.pop_back();  // its line's end
    return JsonObject({
               {"site", JsonString(model.site)},
               {"time", JsonString(model.time)},
               {"adapters", JsonArray(adapters)},
               {"devices", devices},
               {"summary", JsonObject({{"products", Counts(model.products)},
                                       {"modes", Counts(model.modes)},
                                       {"firmware_dates", Counts(model.firmwareDates)}})},
               {"min_firmware_date", model.minFirmwareDate ? std::to_string(*model.minFirmwareDate) : "null"},
               {"findings", JsonArray(findings)},
               {"not_checked", Texts(model.notChecked)},
               {"audit_logs", Texts(model.auditLogs)},
               {"changes", JsonArray(changes)},
               {"audit_problems", Texts(model.auditProblems)},
               {"address_map", AddressMap(model)},
           }) +
           "\n";
}
