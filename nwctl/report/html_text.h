// Text in HTML. Device texts, file names and everything else that came from
// the network or a file are hostile: they go into a page only through
// HtmlText. One rule for bytes, as on the terminal and in CSV (SafeText):
// every byte outside printable ASCII shows as \xNN and a backslash as \\,
// so the page is ASCII whatever a device sent, and the same text reads the
// same in the table, the CSV and the report. Then & < > " ' become
// character references, so that nothing closes an element or an attribute.
#pragma once

#include <string>
#include <string_view>

std::string HtmlText(std::string_view bytes);
