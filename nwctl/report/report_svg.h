// The report's pictures, as SVG to put inline in its page: no script, no
// reference outside the element, every text through HtmlText.
#pragma once

#include <string>

#include "report/report_model.h"

// The map of the subnet's addresses: a square per address, 16 to a row
// (32 for a map of more than 256), coloured by what it is, each with a
// title that says who; the legend under it, with the count of each state.
std::string SubnetMapSvg(const ReportModel& model);

// A bar per firmware date with its count, oldest at the top; bars before
// --min-firmware-date in amber, no date in grey.
std::string FirmwareChartSvg(const ReportModel& model);
