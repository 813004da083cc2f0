// The audit logs of plan --apply (audit_log.h), read back for the report:
// per device, what it had, what was sent, when, and what came of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/setting_changes.h"

// One device's turn in one run. Texts as the log holds them: not yet safe
// to show.
struct AuditChange {
    std::string log;   // the log's name, as the operator gave it
    std::string mac;   // the MAC text
    std::string time;  // when it was sent (or found to need nothing, or the run was interrupted)
    // "sent", "not sent", "unchanged", or "interrupted": the run ended
    // before the device's turn.
    std::string event;
    std::string error;                       // why it was not sent
    std::vector<SettingDifference> changes;  // before -> sent, settings that differ
    std::optional<std::string> result;       // the answer: its text, or "no answer"
    std::optional<bool> verified;            // by the search after the Saves
    // Whether the probe reached the address it showed then: the log's
    // "probed", or, in a log from before it was written, whether
    // "in_use_by" was a list (null meant not probed).
    std::optional<bool> probed;
};

// The changes of the log `name` whose whole text is `text`, appended in the
// order they were logged. A line that is not an audit line (not JSON, no
// event or MAC, an event it does not know, an answer to nothing sent) is
// skipped and named in `problems` as "NAME: line N: ..."; blank lines are
// passed over.
void ReadAuditLog(std::string_view name, std::string_view text, std::vector<AuditChange>& changes,
                  std::vector<std::string>& problems);
