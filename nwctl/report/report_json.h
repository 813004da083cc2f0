// The handover report as one JSON object, the same content as the HTML
// page: texts by JsonString's rule, device objects as search --format json
// writes them.
//   site, time, adapters [{name, address, mask}], devices [...],
//   summary {products, modes, firmware_dates: [{label, count}]},
//   min_firmware_date (YYYYMMDD or null), findings [{kind, mac, ip, detail}],
//   not_checked [text], audit_logs [name], changes [{log, mac, time, event,
//   error, changes [{setting, from, to}], result, verified, probed}],
//   audit_problems,
//   address_map {first, last, prefix, whole, probe_limit, counts {state: n},
//   addresses [{address, state, detail}]}
#pragma once

#include <string>

#include "report/report_model.h"

std::string ReportJson(const ReportModel& model);
