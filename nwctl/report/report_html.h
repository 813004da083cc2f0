// The handover report as one HTML page that needs nothing else: its style
// and pictures inline, no script, and a Content-Security-Policy that lets
// it fetch nothing at all. It reads on a screen and prints on A4.
#pragma once

#include <string>
#include <string_view>

#include "report/report_model.h"

std::string ReportHtml(const ReportModel& model);

// A CSS string, quotes included, that shows `bytes` by HtmlText's rule
// (SafeText's \xNN for bytes outside printable ASCII): every character but
// letters, digits and blanks as a CSS escape, so nothing ends the string
// or the style element.
std::string CssString(std::string_view bytes);
