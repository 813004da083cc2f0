// Device texts are whatever a device, or anything pretending to be one,
// put into a datagram. Before they reach a terminal, or a CSV file that may
// be shown on one, every byte outside printable ASCII is written as \xNN and
// a backslash as \\, so that no control sequence gets through and the
// escape cannot be forged.
#pragma once

#include <string>
#include <string_view>

std::string SafeText(std::string_view bytes);
