// Device texts are whatever a device, or anything pretending to be one,
// put into a datagram. Before they reach a terminal, or a CSV file that may
// be shown on one, every byte outside printable ASCII is written as \xNN and
// a backslash as \\, so that no control sequence gets through and the
// escape cannot be forged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::string SafeText(std::string_view bytes);

// For messages that name what an operator or a file gave: a text of more
// than `shown` bytes shows its first `shown`, made safe, then
// "... (N bytes)", so that a huge cell or argument cannot flood the
// terminal.
constexpr std::size_t kShortTextBytes = 48;
std::string ShortText(std::string_view bytes, std::size_t shown = kShortTextBytes);

// Paths are the operator's own text: shown as given, backslashes and
// letters of any language alike, but not able to drive the terminal: C0
// and C1 controls and DEL are written \xNN. Every path that can be opened
// shows whole; a longer one is cut as ShortText cuts.
constexpr std::size_t kPathShown = 4096;
std::string PathText(std::string_view path);
