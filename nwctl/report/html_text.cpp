#include "report/html_text.h"

#include "io/safe_text.h"

std::string HtmlText(std::string_view bytes)
{
    const std::string safe = SafeText(bytes);
    std::string html;
    html.reserve(safe.size());
    for (const char c : safe) {
        switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            case '\'':
                html += "&#39;";
                break;
            default:
                html += c;
        }
    }
    return html;
}
