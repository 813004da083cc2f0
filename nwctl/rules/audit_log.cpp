#include "rules/audit_log.h"

#include <cerrno>
#include <cstring>

#include "rules/audit_events.h"

#include "device/setting_changes.h"
#include "io/json.h"
#include "text_field.h"
#include "text_join.h"
#include "utc_time.h"

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

// ["00:1A:2B:00:00:01", ...] on the one line.
std::string MacsJson(const std::vector<MacAddress>& macs)
{
    return "[" + JoinTexts(macs, ", ", [](const MacAddress& mac) { return JsonString(FormatMac(mac)); }) + "]";
}

// A line: the members every line starts with, then `rest`.
std::string Line(std::time_t time, const char* event, const DISCOVERY_DATA& before, const JsonMembers& rest)
{
    JsonMembers members{{"time", JsonString(UtcTimestamp(time))},
                        {"event", JsonString(event)},
                        {"mac", JsonString(ReadTextField(before.macAddress))}};
    members.insert(members.end(), rest.begin(), rest.end());
    return JsonObject(members);
}

}  // namespace

std::string AuditSent(std::time_t time, const DISCOVERY_DATA& before, const DISCOVERY_DATA& sent)
{
    return Line(time, kAuditSent, before, {{"before", SettingsJson(before)}, {"sent", SettingsJson(sent)}});
}

std::string AuditNotSent(std::time_t time, const DISCOVERY_DATA& before, const DISCOVERY_DATA& sent,
                         std::string_view error)
{
    return Line(time, kAuditNotSent, before,
                {{"before", SettingsJson(before)}, {"sent", SettingsJson(sent)}, {"error", JsonString(error)}});
}

std::string AuditHeldBack(std::time_t time, const DISCOVERY_DATA& before, const DISCOVERY_DATA& sent,
                          std::string_view reason, std::string_view waitsFor)
{
    return Line(time, kAuditNotSent, before,
                {{"before", SettingsJson(before)},
                 {"sent", SettingsJson(sent)},
                 {"error", JsonString(reason)},
                 {"waits_for", JsonString(waitsFor)}});
}

std::string AuditAnswer(std::time_t time, const DISCOVERY_DATA& before, std::optional<std::uint32_t> result)
{
    const char* text = result ? ApplyResultText(*result) : nullptr;
    const std::string said = text ? text : result ? "result " + std::to_string(*result) : "no answer";
    return Line(time, kAuditAnswer, before,
                {{"result", JsonString(said)}, {"result_code", result ? std::to_string(*result) : "null"}});
}

std::string AuditUnchanged(std::time_t time, const DISCOVERY_DATA& before)
{
    return Line(time, kAuditUnchanged, before, {{"before", SettingsJson(before)}});
}

std::string AuditVerified(std::time_t time, const DISCOVERY_DATA& before, bool verified, bool probed,
                          const std::optional<std::vector<MacAddress>>& inUseBy)
{
    return Line(time, kAuditVerify, before,
                {{"verified", verified ? "true" : "false"},
                 {"probed", probed ? "true" : "false"},
                 {"in_use_by", inUseBy ? MacsJson(*inUseBy) : "null"}});
}

std::string AuditInterrupted(std::time_t time, std::size_t done, std::size_t of, const std::vector<MacAddress>& notSent)
{
    return JsonObject({{"time", JsonString(UtcTimestamp(time))},
                       {"event", JsonString(kAuditInterrupted)},
                       {"done", std::to_string(done)},
                       {"of", std::to_string(of)},
                       {"not_sent", MacsJson(notSent)}});
}

AuditLog::~AuditLog()
{
    if (file_)
        std::fclose(file_);
}

bool AuditLog::Open(const std::string& path, std::string& error)
{
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        error = std::strerror(errno);
    return file_ != nullptr;
}

bool AuditLog::Write(const std::string& line)
{
    complete_ = complete_ && file_ && std::fputs((line + "\n").c_str(), file_) >= 0 && std::fflush(file_) == 0;
    return complete_;
}

std::string AuditPath(std::string_view planPath, std::time_t time, const std::function<bool(const std::string&)>& taken)
{
    const std::size_t folder = planPath.find_last_of("/\\");
    const std::size_t nameStart = folder == std::string_view::npos ? 0 : folder + 1;
    std::size_t dot = planPath.rfind('.');
    if (dot == std::string_view::npos || dot <= nameStart)
        dot = planPath.size();
    const std::string stem = std::string(planPath.substr(0, dot)) + "-" + FormatUtc(time, "%Y%m%dT%H%M%SZ");
    std::string path = stem + ".audit.jsonl";
    for (int copy = 2; taken(path); ++copy)
        path = stem + "-" + std::to_string(copy) + ".audit.jsonl";
    return path;
}
