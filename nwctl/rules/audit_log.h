// The audit log of plan --apply: one JSON object per line, each written
// and flushed as it happens, so that a run cut short (Ctrl-C, a closed
// terminal, a kill) leaves every Save that left and every answer that came
// back. Settings by their names, ports as numbers; never a password or its
// digest. Every line has "time" and "event", and all but "interrupted" the
// device's MAC text, "mac":
//   "sent":      "before" (as the search found it, or as the Save to its
//                temporary address left it) and "sent"
//   "not sent":  the same and "error": the record could not leave, or was
//                held back, with "waits_for": the MAC of the device that
//                had to leave the address first and did not
//   "answer":    "result" (the answer's text, "no answer", or "result N"
//                for a code without a text) and "result_code" (null for none)
//   "unchanged": "before": nothing was to change, nothing was sent
//   "verify":    "verified", after the search that follows the Saves,
//                "probed": whether the probe reached the address the
//                device shows (false: nobody knows who else holds it), and
//                "in_use_by": the other MACs that answer for that address,
//                as the probe and the search heard them ([] for none), null
//                when it was not probed and the search heard no other
//   "interrupted": Ctrl-C or SIGTERM ended the run: "done" devices of "of"
//                were sent their Saves (or needed none), and "not_sent": the
//                MACs of the others
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/mac.h"
#include "discovery_data.h"

std::string AuditSent(std::time_t time, const DISCOVERY_DATA& before, const DISCOVERY_DATA& sent);
std::string AuditNotSent(std::time_t time, const DISCOVERY_DATA& before, const DISCOVERY_DATA& sent,
                         std::string_view error);
std::string AuditHeldBack(std::time_t time, const DISCOVERY_DATA& before, const DISCOVERY_DATA& sent,
                          std::string_view reason, std::string_view waitsFor);
std::string AuditAnswer(std::time_t time, const DISCOVERY_DATA& before, std::optional<std::uint32_t> result);
std::string AuditUnchanged(std::time_t time, const DISCOVERY_DATA& before);
std::string AuditVerified(std::time_t time, const DISCOVERY_DATA& before, bool verified, bool probed,
                          const std::optional<std::vector<MacAddress>>& inUseBy);
std::string AuditInterrupted(std::time_t time, std::size_t done, std::size_t of,
                             const std::vector<MacAddress>& notSent);

// The log file: each line is flushed to the system once written.
class AuditLog {
public:
    AuditLog() = default;
    ~AuditLog();
    AuditLog(const AuditLog&) = delete;
    AuditLog& operator=(const AuditLog&) = delete;

    // Creates the file; false with the system's reason in `error` when it
    // cannot.
    bool Open(const std::string& path, std::string& error);
    // False once any line could not be written whole.
    bool Write(const std::string& line);
    bool Complete() const { return complete_; }

private:
    std::FILE* file_ = nullptr;
    bool complete_ = true;
};

// Beside the plan, named after it and the time:
// "site/plan.csv" at 10:30:00 UTC on 15 January 2024 gives
// "site/plan-20240115T103000Z.audit.jsonl". When `taken` says that name is
// taken (an earlier run in the same second), "-2", "-3", ... follow the
// time.
std::string AuditPath(std::string_view planPath, std::time_t time,
                      const std::function<bool(const std::string&)>& taken);
