#include "rules/audit_reading.h"

#include <algorithm>

#include "io/json_reading.h"
#include "rules/audit_events.h"

namespace {

// A setting's value as the log wrote it: ports as numbers, the rest texts.
std::optional<std::string> SettingText(const JsonValue* value)
{
    if (value && (value->kind == JsonValue::Kind::String || value->kind == JsonValue::Kind::Number))
        return value->text;
    return std::nullopt;
}

std::vector<SettingDifference> Differences(const JsonValue* before, const JsonValue* sent)
{
    std::vector<SettingDifference> differences;
    if (!before || !sent)
        return differences;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const auto from = SettingText(before->Member(kSettingNames[i]));
        const auto to = SettingText(sent->Member(kSettingNames[i]));
        if (to && from != to)
            differences.push_back({SettingAt(i), from.value_or(""), *to});
    }
    return differences;
}

std::optional<bool> ProbedOf(const JsonValue& verify)
{
    if (const JsonValue* probed = verify.Member("probed"); probed && probed->kind == JsonValue::Kind::Bool)
        return probed->boolean;
    if (const JsonValue* inUseBy = verify.Member("in_use_by")) {
        if (inUseBy->kind == JsonValue::Kind::Null)
            return false;
        if (inUseBy->kind == JsonValue::Kind::Array)
            return true;
    }
    return std::nullopt;
}

std::string Text(const JsonValue* value)
{
    return value && value->kind == JsonValue::Kind::String ? value->text : std::string();
}

// The latest turn of `mac` in this log, from `first` on.
AuditChange* Latest(std::vector<AuditChange>& changes, std::size_t first, const std::string& mac)
{
    for (std::size_t i = changes.size(); i > first; --i) {
        if (changes[i - 1].mac == mac)
            return &changes[i - 1];
    }
    return nullptr;
}

// The devices an interrupted run never reached, each as a change not sent;
// those held back before are shown by their own lines.
void TakeInterruption(const std::string& log, const JsonValue& entry, std::size_t first,
                      std::vector<AuditChange>& changes, std::vector<std::string>& problems, const std::string& where)
{
    const JsonValue* notSent = entry.Member("not_sent");
    if (!notSent || notSent->kind != JsonValue::Kind::Array) {
        problems.push_back(where + "an interruption without the list of devices not sent, skipped");
        return;
    }
    const std::string time = Text(entry.Member("time"));
    for (const JsonValue& item : notSent->items) {
        const std::string mac = Text(&item);
        if (!mac.empty() && !Latest(changes, first, mac))
            changes.push_back({log,
                               mac,
                               time,
                               kAuditInterrupted,
                               "the run was interrupted before its Save",
                               {},
                               std::nullopt,
                               std::nullopt,
                               std::nullopt});
    }
}

}  // namespace

void ReadAuditLog(std::string_view name, std::string_view text, std::vector<AuditChange>& changes,
                  std::vector<std::string>& problems)
{
    const std::size_t first = changes.size();
    const std::string log(name);
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        const std::string where = log + ": line " + std::to_string(number) + ": ";
        JsonValue entry;
        std::string error;
        if (!ParseJson(line, entry, error)) {
            problems.push_back(where + "not JSON (" + error + "), skipped");
            continue;
        }
        const std::string event = Text(entry.Member("event"));
        if (event == kAuditInterrupted) {
            TakeInterruption(log, entry, first, changes, problems, where);
            continue;
        }
        const std::string mac = Text(entry.Member("mac"));
        if (entry.kind != JsonValue::Kind::Object || event.empty() || mac.empty()) {
            problems.push_back(where + "not an audit line (it needs an event and a mac), skipped");
            continue;
        }
        const std::string time = Text(entry.Member("time"));
        if (event == kAuditSent || event == kAuditNotSent || event == kAuditUnchanged) {
            AuditChange change{log, mac,          time,         event,       Text(entry.Member("error")),
                               {},  std::nullopt, std::nullopt, std::nullopt};
            change.changes = Differences(entry.Member("before"), entry.Member("sent"));
            changes.push_back(change);
            continue;
        }
        AuditChange* change = Latest(changes, first, mac);
        if (event != kAuditAnswer && event != kAuditVerify) {
            problems.push_back(where + "an event it does not know, \"" + event + "\", skipped");
        } else if (!change) {
            problems.push_back(where + (event == kAuditAnswer ? "an answer" : "a verification") + " for " + mac +
                               ", which nothing before it sent, skipped");
        } else if (event == kAuditAnswer) {
            const std::string result = Text(entry.Member("result"));
            change->result = result.empty() ? "an answer without a result" : result;
        } else {
            const JsonValue* verified = entry.Member("verified");
            if (!verified || verified->kind != JsonValue::Kind::Bool) {
                problems.push_back(where + "a verify without true or false, skipped");
            } else {
                change->verified = verified->boolean;
                change->probed = ProbedOf(entry);
            }
        }
    }
}
