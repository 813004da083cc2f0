#include "report/report_html.h"

#include "device/device_fields.h"
#include "io/safe_text.h"
#include "ipv4_text.h"
#include "report/html_text.h"
#include "report/report_svg.h"
#include "rules/audit_events.h"
#include "subnet.h"

namespace {

constexpr char kPolicy[] =
    "default-src 'none'; style-src 'unsafe-inline'; img-src 'none'; base-uri 'none'; "
    "form-action 'none'";

constexpr char kStyle[] = R"(
:root { --ink: #111827; --muted: #6b7280; --line: #e5e7eb; --head: #f3f4f6; --accent: #1e40af; }
* { box-sizing: border-box; }
body { margin: 0 auto; max-width: 1440px; padding: 24px 32px 48px; color: var(--ink);
  font: 14px/1.45 system-ui, -apple-system, "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif; }
h1 { font-size: 26px; margin: 0 0 4px; color: var(--accent); }
h1 .site { color: var(--ink); }
h2 { font-size: 18px; margin: 28px 0 10px; padding-bottom: 4px; border-bottom: 2px solid var(--accent); }
h3 { font-size: 14px; margin: 0 0 6px; color: var(--muted); text-transform: uppercase; letter-spacing: .04em; }
dl.facts { display: grid; grid-template-columns: max-content 1fr; gap: 2px 16px; margin: 12px 0 0; }
dl.facts dt { color: var(--muted); }
dl.facts dd { margin: 0; }
.note { background: #fffbeb; border-left: 4px solid #f59e0b; padding: 8px 12px; margin: 10px 0; }
.alert { background: #fef2f2; border-left: 4px solid #dc2626; padding: 8px 12px; margin: 10px 0; }
.row { display: flex; flex-wrap: wrap; gap: 24px; align-items: flex-start; }
.row > div { flex: 0 1 auto; }
table { border-collapse: collapse; font-size: 12.5px; }
th, td { text-align: left; padding: 4px 8px; border-bottom: 1px solid var(--line); vertical-align: top; }
th { background: var(--head); font-weight: 600; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
table.devices { font-size: 11px; width: 100%; }
table.devices td { white-space: nowrap; }
table.devices td.text { white-space: normal; overflow-wrap: anywhere; min-width: 6em; }
table.devices th, table.devices td { padding: 3px 4px; }
tbody tr:nth-child(even) td { background: #fafafa; }
.wide { overflow-x: auto; }
.kind { display: inline-block; padding: 0 6px; border-radius: 8px; font-size: 11px; font-weight: 600;
  background: #e0e7ff; color: #1e3a8a; white-space: nowrap; }
.kind.missing, .kind.conflict, .kind.duplicate-mac, .kind.wrong-address { background: #fee2e2; color: #991b1b; }
.kind.old-firmware, .kind.factory-ports, .kind.unexpected { background: #fef3c7; color: #92400e; }
.muted { color: var(--muted); }
.ok { color: #047857; font-weight: 600; }
.bad { color: #b91c1c; font-weight: 600; }
svg { max-width: 100%; height: auto; }
.running { display: none; }
footer { margin-top: 32px; color: var(--muted); font-size: 12px; }
@media print {
  body { max-width: none; padding: 0; font-size: 10pt; }
  h2 { break-after: avoid; }
  section { break-inside: auto; }
  .keep { break-inside: avoid; }
  table { font-size: 8.5pt; }
  #devices { page: landscape; }
  table.devices { font-size: 6.5pt; }
  table.devices th, table.devices td { padding: 2px 3px; }
  thead { display: table-header-group; }
  tr, .kind { break-inside: avoid; }
  .wide { overflow: visible; }
  * { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
)";

// A table cell of `text`; a dash for none.
std::string Cell(const std::string& text, const char* attributes = "")
{
    return "<td" + std::string(attributes) + ">" +
           (text.empty() ? "<span class=\"muted\">&#8212;</span>" : HtmlText(text)) + "</td>";
}

std::string Number(std::size_t n)
{
    return "<td class=\"n\">" + std::to_string(n) + "</td>";
}

// A count table that fits on a page is kept whole in print; a longer one
// (a site of many models) may break, or it would leave a page empty before it.
constexpr std::size_t kCountsKeptWhole = 20;

std::string CountTable(const char* title, const char* what, const std::vector<ReportCount>& counts)
{
    std::string html = std::string(counts.size() <= kCountsKeptWhole ? "<div class=\"keep\">" : "<div>") + "<h3>" +
                       std::string(title) + "</h3><table><thead><tr><th>" + what +
                       "</th><th class=\"n\">devices</th></tr></thead><tbody>";
    for (const ReportCount& count : counts)
        html += "<tr>" + Cell(count.label) + Number(count.count) + "</tr>";
    return html + "</tbody></table></div>";
}

// A header cell that may break after each _ of a long field name.
std::string FieldHeader(const char* name)
{
    std::string html = "<th>";
    for (const char* c = name; *c; ++c) {
        html += *c;
        if (*c == '_')
            html += "<wbr>";
    }
    return html + "</th>";
}

std::string AdapterText(const Adapter& adapter)
{
    const auto prefix = MaskPrefix(adapter.mask);
    return adapter.name + " " + FormatIPv4(adapter.address) + " mask " + FormatIPv4(adapter.mask) +
           (prefix ? " (/" + std::to_string(*prefix) + ")" : "");
}

std::string Header(const ReportModel& model)
{
    std::string adapters;
    for (const Adapter& adapter : model.adapters)
        adapters += (adapters.empty() ? "" : "<br>") + HtmlText(AdapterText(adapter));
    std::string html = "<header><h1>Handover report" +
                       (model.site.empty() ? "" : ": <span class=\"site\">" + HtmlText(model.site) + "</span>") +
                       "</h1><dl class=\"facts\">";
    html += "<dt>Site</dt><dd>" +
            (model.site.empty() ? std::string("<span class=\"muted\">not named (--site NAME)</span>")
                                : HtmlText(model.site)) +
            "</dd>";
    html += "<dt>Date and time</dt><dd>" + HtmlText(model.time) + " (UTC)</dd>";
    html += "<dt>This computer's adapter</dt><dd>" + adapters + "</dd>";
    html += "<dt>Devices that answered</dt><dd>" + std::to_string(model.devices.size()) + "</dd></dl></header>";
    if (model.devices.empty())
        html +=
            "<p class=\"alert\">No device answered the search. Likely: no device is on this adapter's network, "
            "a firewall blocks the replies to UDP port 40014, or the devices are on another adapter.</p>";
    return html;
}

std::string Summary(const ReportModel& model)
{
    std::string html = "<section id=\"summary\"><h2>Summary</h2><div class=\"row\">";
    html += CountTable("By model", "product", model.products);
    html += CountTable("By address mode", "mode", model.modes);
    html += CountTable("By firmware date", "date", model.firmwareDates);
    if (!model.firmwareDates.empty()) {
        html += "<div class=\"keep\"><h3>Firmware dates</h3>" + FirmwareChartSvg(model);
        if (model.minFirmwareDate)
            html += "<p class=\"muted\">Amber: dated before " + HtmlText(FirmwareDateLabel(*model.minFirmwareDate)) +
                    ". Grey: no date (counts as older).</p>";
        html += "</div>";
    }
    return html + "</div></section>";
}

std::string Findings(const ReportModel& model)
{
    std::string html = "<section id=\"findings\"><h2>Findings</h2>";
    if (model.findings.empty()) {
        html += "<p class=\"ok\">Nothing to report.</p>";
    } else {
        html += "<p>" + std::to_string(model.findings.size()) +
                " found.</p><div class=\"wide\"><table>"
                "<thead><tr><th>kind</th><th>mac</th><th>ip</th><th>detail</th></tr></thead><tbody>";
        for (const FindingLine& line : FindingLines(model.findings)) {
            const auto [kind, mac, ip, detail] = FindingLineCells(line);
            html += "<tr><td><span class=\"kind " + HtmlText(kind) + "\">" + HtmlText(kind) + "</span></td>" +
                    Cell(mac) + Cell(ip) + Cell(detail) + "</tr>";
        }
        html += "</tbody></table></div>";
    }
    for (const std::string& missing : model.notChecked)
        html += "<p class=\"muted\">Not checked: " + HtmlText(missing) + ".</p>";
    return html + "</section>";
}

std::string AddressMap(const ReportModel& model)
{
    std::string html = "<section id=\"addresses\" class=\"keep\"><h2>Addresses</h2>";
    if (model.cells.empty())
        return html + "<p class=\"muted\">No adapter to map.</p></section>";
    const std::string first = FormatIPv4(model.map.first);
    const std::string last = FormatIPv4(model.map.first + (model.map.count - 1));
    html += "<p>" + HtmlText(first) + " to " + HtmlText(last) +
            (model.map.whole ? ", the subnet of this computer's adapter (/" + std::to_string(model.map.prefix) + ")."
                             : ": the subnet (/" + std::to_string(model.map.prefix) +
                                   ") has more addresses than a "
                                   "map shows, so it shows the " +
                                   std::to_string(kMapMost) +
                                   " around this computer's address; the device table lists every device.") +
            "</p>";
    // The probe's limit counts the addresses it could not probe, devices'
    // among them; the map's own count of cells is said only without it.
    const std::size_t notProbed = model.stateCounts[static_cast<std::size_t>(MapState::NotProbed)];
    if (notProbed > 0)
        html += "<p class=\"note\">" +
                (model.probeLimit.empty()
                     ? std::to_string(notProbed) +
                           " addresses were not probed, so the map cannot tell which of them other hosts use"
                     : "The map cannot tell which of the addresses marked not probed other hosts use: " +
                           HtmlText(model.probeLimit)) +
                ".</p>";
    return html + SubnetMapSvg(model) + "</section>";
}

std::string Devices(const ReportModel& model)
{
    std::string html = "<section id=\"devices\"><h2>Devices</h2>";
    if (model.devices.empty())
        return html + "<p class=\"muted\">None.</p></section>";
    html += "<div class=\"wide\"><table class=\"devices\"><thead><tr>";
    for (const char* name : kFieldNames)
        html += FieldHeader(name);
    html += "</tr></thead><tbody>";
    // The devices' own words wrap; addresses and numbers keep to one line.
    bool wraps[kFieldCount] = {};
    for (const char* name : {"product", "maker", "firmware", "name"})
        wraps[*FieldNamed(name)] = true;
    for (const FoundDevice& device : model.devices) {
        html += "<tr>";
        const auto values = DeviceFieldValues(device);
        for (std::size_t i = 0; i < kFieldCount; ++i)
            html += Cell(values[i], wraps[i] ? " class=\"text\"" : "");
        html += "</tr>";
    }
    return html + "</tbody></table></div></section>";
}

std::string Verified(const AuditChange& change)
{
    if (!change.verified)
        return "<td class=\"muted\">not logged</td>";
    if (!*change.verified)
        return "<td class=\"bad\">NOT verified</td>";
    // Nobody knows whether another host holds an address not probed.
    return change.probed == false ? "<td>verified, address not probed</td>" : "<td class=\"ok\">verified</td>";
}

std::string Changes(const ReportModel& model)
{
    std::string html = "<section id=\"changes\"><h2>Changes made</h2>";
    if (model.auditLogs.empty())
        return html + "<p class=\"muted\">No audit log was given (--audit LOG).</p></section>";
    html += "<p>From the audit log" + std::string(model.auditLogs.size() > 1 ? "s" : "");
    for (std::size_t i = 0; i < model.auditLogs.size(); ++i)
        html += (i ? ", " : " ") + HtmlText(model.auditLogs[i]);
    html += ".</p>";
    for (const std::string& problem : model.auditProblems)
        html += "<p class=\"alert\">" + HtmlText(problem) + "</p>";
    if (model.changes.empty())
        return html + "<p class=\"muted\">The logs record no change.</p></section>";
    html +=
        "<div class=\"wide\"><table><thead><tr><th>time</th><th>mac</th><th>before &#8594; after</th>"
        "<th>sent</th><th>answer</th><th>check</th></tr></thead><tbody>";
    for (const AuditChange& change : model.changes) {
        std::string settings;
        for (const SettingDifference& d : change.changes)
            settings += (settings.empty() ? "" : "<br>") +
                        HtmlText(kSettingNames[static_cast<std::size_t>(d.setting)]) + " " + HtmlText(d.from) +
                        " &#8594; " + HtmlText(d.to);
        // A device an interrupted run never reached: what it was to get is
        // in the plan, not the log.
        const bool interrupted = change.event == kAuditInterrupted;
        if (settings.empty())
            settings = interrupted ? "<span class=\"muted\">not logged</span>"
                                   : "<span class=\"muted\">nothing to change</span>";
        const std::string sent = change.event == kAuditNotSent || interrupted
                                     ? "<span class=\"bad\">not sent</span>: " + HtmlText(change.error)
                                 : change.event == kAuditSent
                                     ? std::string("sent")
                                     : std::string("<span class=\"muted\">nothing sent</span>");
        html += "<tr>" + Cell(change.time) + Cell(change.mac) + "<td>" + settings + "</td><td>" + sent + "</td>" +
                (change.result ? Cell(*change.result)
                               : std::string(change.event == kAuditSent ? "<td class=\"bad\">not logged</td>"
                                                                        : "<td class=\"muted\">&#8212;</td>")) +
                Verified(change) + "</tr>";
    }
    return html + "</tbody></table></div></section>";
}

}  // namespace

std::string CssString(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string css = "\"";
    for (const char c : SafeText(bytes)) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') {
            css += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            css += '\\';
            css += digits[byte >> 4];
            css += digits[byte & 0xF];
            css += ' ';
        }
    }
    return css + '"';
}

std::string ReportHtml(const ReportModel& model)
{
    const std::string title = "Handover report" + (model.site.empty() ? "" : ": " + model.site);
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"" +
        std::string(kPolicy) +
        "\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" + HtmlText(title) +
        "</title>\n<style>" + kStyle;
    // The running header and the page numbers of the printed report.
    html +=
        "@page { size: A4; margin: 16mm 12mm 16mm 12mm;\n"
        "  @top-left { content: " +
        CssString(title) +
        "; font-size: 8pt; color: #6b7280; }\n"
        "  @top-right { content: " +
        CssString(model.time) +
        "; font-size: 8pt; color: #6b7280; }\n"
        "  @bottom-right { content: \"page \" counter(page) \" of \" counter(pages); font-size: 8pt; "
        "color: #6b7280; } }\n"
        "@page landscape { size: A4 landscape; }\n</style>\n</head>\n<body>\n";
    html += Header(model) + "\n" + Summary(model) + "\n" + Findings(model) + "\n" + AddressMap(model) + "\n" +
            Devices(model) + "\n" + Changes(model) + "\n";
    html +=
        "<footer>Written by nwctl report. Device texts are shown as the devices sent them; bytes outside "
        "printable ASCII as \\xNN, a backslash as \\\\.</footer>\n</body>\n</html>\n";
    return html;
}
