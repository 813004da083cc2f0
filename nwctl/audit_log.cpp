#include "audit_log.h"

#include "json.h"
#include "settings.h"
#include "text_field.h"

namespace {

std::string SettingsJson(const DISCOVERY_DATA& record)
{
    JsonMembers members;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const std::string value = CurrentSetting(record, SettingAt(i));
        members.emplace_back(kSettingNames[i], IsPortSetting(SettingAt(i)) ? value : JsonString(value));
    }
    return JsonObject(members);
}

std::string Format(std::time_t time, const char* format)
{
    char text[32] = {};
    const std::tm* utc = std::gmtime(&time);
    if (!utc || std::strftime(text, sizeof text, format, utc) == 0)
        return "unknown-time";
    return text;
}

}  // namespace

std::string AuditLine(const AuditEntry& entry)
{
    std::string result = "unchanged";
    if (entry.notSent) {
        result = "not sent";
    } else if (entry.sent) {
        const char* text = entry.result ? ApplyResultText(*entry.result) : nullptr;
        result = text ? text : entry.result ? "result " + std::to_string(*entry.result) : "no answer";
    }
    return JsonObject({
        {"time", JsonString(UtcTime(entry.time))},
        {"mac", JsonString(ReadTextField(entry.before.macAddress))},
        {"before", SettingsJson(entry.before)},
        {"sent", entry.sent ? SettingsJson(*entry.sent) : "null"},
        {"result", JsonString(result)},
        {"result_code", entry.result ? std::to_string(*entry.result) : "null"},
        {"verified", entry.verified ? "true" : "false"},
    });
}

std::string UtcTime(std::time_t time)
{
    return Format(time, "%Y-%m-%dT%H:%M:%SZ");
}

std::string AuditPath(std::string_view planPath, std::time_t time, const std::function<bool(const std::string&)>& taken)
{
    const std::size_t folder = planPath.find_last_of("/\\");
    const std::size_t nameStart = folder == std::string_view::npos ? 0 : folder + 1;
    std::size_t dot = planPath.rfind('.');
    if (dot == std::string_view::npos || dot <= nameStart)
        dot = planPath.size();
    const std::string stem = std::string(planPath.substr(0, dot)) + "-" + Format(time, "%Y%m%dT%H%M%SZ");
    std::string path = stem + ".audit.jsonl";
    for (int copy = 2; taken(path); ++copy)
        path = stem + "-" + std::to_string(copy) + ".audit.jsonl";
    return path;
}
