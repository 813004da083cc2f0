#include "report/report_svg.h"

#include <algorithm>
#include <cmath>

#include "ipv4_text.h"
#include "report/html_text.h"

namespace {

struct Look {
    const char* fill;
    const char* stroke;
    const char* ink;  // the text on it
};
// Indexed by MapState.
const Look kLooks[kMapStateCount] = {
    {"#111827", "#111827", "#ffffff"},  // this computer
    {"#dc2626", "#991b1b", "#ffffff"},  // conflict
    {"#2563eb", "#1e40af", "#ffffff"},  // device
    {"#d1d5db", "#9ca3af", "#374151"},  // reserved
    {"#f59e0b", "#b45309", "#111827"},  // other host
    {"#ecfdf5", "#6ee7b7", "#047857"},  // free
    {"#ffffff", "#9ca3af", "#9ca3af"},  // not probed: dashed
};

// Tenths at most, without a trailing .0: coordinates are never negative.
std::string Number(double value)
{
    const long tenths = std::lround(value * 10);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) {
        text += '.';
        text += static_cast<char>('0' + tenths % 10);
    }
    return text;
}

std::string Rect(double x, double y, double w, double h, const Look& look, bool dashed)
{
    return "<rect x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" width=\"" + Number(w) + "\" height=\"" + Number(h) +
           "\" rx=\"2\" fill=\"" + look.fill + "\" stroke=\"" + look.stroke + "\"" +
           (dashed ? " stroke-dasharray=\"2 2\"" : "") + "/>";
}

std::string Text(double x, double y, const std::string& text, const char* attributes)
{
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" " + attributes + ">" + HtmlText(text) + "</text>";
}

std::string Svg(double width, double height, const std::string& label, const std::string& body)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" aria-label=\"" + HtmlText(label) + "\" width=\"" +
           Number(width) + "\" height=\"" + Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " +
           Number(height) + "\" font-family=\"Helvetica, Arial, sans-serif\">" + body + "</svg>";
}

}  // namespace

std::string SubnetMapSvg(const ReportModel& model)
{
    const std::uint32_t count = model.map.count;
    if (model.cells.empty())
        return std::string();
    const bool large = count > 256;
    const std::uint32_t columns = std::min<std::uint32_t>(large ? 32 : 16, count);
    const std::uint32_t rows = (count + columns - 1) / columns;
    const double cell = large ? 15 : 26, gap = 2, left = large ? 64 : 44, top = 18;
    std::string body;
    for (std::uint32_t column = 0; column < columns; ++column)
        body += Text(left + column * (cell + gap) + cell / 2, top - 6, "+" + std::to_string(column),
                     "font-size=\"8\" fill=\"#6b7280\" text-anchor=\"middle\"");
    for (std::uint32_t row = 0; row < rows; ++row) {
        const std::string start = FormatIPv4(model.map.first + row * columns);
        // The row's start by its last octet, or its last two when the map
        // spans more than one /24.
        std::string label = start.substr(start.rfind('.'));
        if (large)
            label = start.substr(start.rfind('.', start.rfind('.') - 1) + 1);
        body += Text(left - 6, top + row * (cell + gap) + cell / 2 + 3, label,
                     "font-size=\"9\" fill=\"#6b7280\" text-anchor=\"end\"");
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const MapCell& c = model.cells[i];
        const Look& look = kLooks[static_cast<std::size_t>(c.state)];
        const double x = left + (i % columns) * (cell + gap), y = top + (i / columns) * (cell + gap);
        const std::string address = FormatIPv4(model.map.first + i);
        body += "<g><title>" + HtmlText(address + ": " + MapStateName(c.state) + " - " + c.detail) + "</title>" +
                Rect(x, y, cell, cell, look, c.state == MapState::NotProbed);
        if (!large)
            body += Text(x + cell / 2, y + cell / 2 + 3, address.substr(address.rfind('.') + 1),
                         (std::string("font-size=\"8\" text-anchor=\"middle\" fill=\"") + look.ink + "\"").c_str());
        body += "</g>";
    }
    // The legend: a swatch, the state's name and its count, in two rows.
    const double gridBottom = top + rows * (cell + gap) + 10;
    const double width = std::max(left + columns * (cell + gap), 470.0);
    for (std::size_t s = 0; s < kMapStateCount; ++s) {
        const double x = 4 + (s % 4) * 118, y = gridBottom + (s / 4) * 20;
        body += Rect(x, y, 12, 12, kLooks[s], s == static_cast<std::size_t>(MapState::NotProbed));
        body += Text(
            x + 17, y + 10,
            std::string(MapStateName(static_cast<MapState>(s))) + " (" + std::to_string(model.stateCounts[s]) + ")",
            "font-size=\"10\" fill=\"#111827\"");
    }
    return Svg(
        width, gridBottom + 40,
        "map of the addresses " + FormatIPv4(model.map.first) + " to " + FormatIPv4(model.map.first + (count - 1)),
        body);
}

std::string FirmwareChartSvg(const ReportModel& model)
{
    if (model.firmwareDates.empty())
        return std::string();
    std::size_t most = 1;
    for (const ReportCount& bar : model.firmwareDates)
        most = std::max(most, bar.count);
    const double left = 84, bar = 16, pitch = 22, longest = 300;
    std::string body;
    double y = 4;
    for (const ReportCount& date : model.firmwareDates) {
        const char* fill = date.label == "no date" ? "#9ca3af" : date.old ? "#f59e0b" : "#2563eb";
        const double length = std::max(2.0, longest * static_cast<double>(date.count) / static_cast<double>(most));
        body += "<g><title>" + HtmlText(date.label + ": " + std::to_string(date.count)) + "</title>";
        body += Text(left - 8, y + 12, date.label, "font-size=\"10\" fill=\"#111827\" text-anchor=\"end\"");
        body += "<rect x=\"" + Number(left) + "\" y=\"" + Number(y) + "\" width=\"" + Number(length) + "\" height=\"" +
                Number(bar) + "\" rx=\"2\" fill=\"" + fill + "\"/>";
        body +=
            Text(left + length + 6, y + 12, std::to_string(date.count), "font-size=\"10\" fill=\"#111827\"") + "</g>";
        y += pitch;
    }
    return Svg(left + longest + 40, y + 2, "devices by firmware date", body);
}
