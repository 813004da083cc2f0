// The audit log of plan --apply: one JSON object per line and device. It
// holds settings and answers, never a password or its digest.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "discovery_data.h"

struct AuditEntry {
    std::time_t time;
    DISCOVERY_DATA before;                // as the search found the device
    std::optional<DISCOVERY_DATA> sent;   // none when nothing was to change
    std::optional<std::uint32_t> result;  // the device's answer, none without one
    bool notSent;                         // the record could not leave
    bool verified;
};

// {"time", "mac", "before", "sent", "result", "result_code", "verified"}:
// settings by their names, ports as numbers; "result" is the answer's text,
// "unchanged" when nothing was to change, "not sent" when it could not
// leave, "no answer", or "result N" for a code without a text.
std::string AuditLine(const AuditEntry& entry);

// "2024-01-15T10:30:00Z".
std::string UtcTime(std::time_t time);

// Beside the plan, named after it and the time:
// "site/plan.csv" at 10:30:00 UTC on 15 January 2024 gives
// "site/plan-20240115T103000Z.audit.jsonl". When `taken` says that name is
// taken (an earlier run in the same second), "-2", "-3", ... follow the
// time.
std::string AuditPath(std::string_view planPath, std::time_t time,
                      const std::function<bool(const std::string&)>& taken);
