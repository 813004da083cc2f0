// Reading a whole number from an edit box's text the way sscanf's "%ld"
// does: blanks first are skipped, a sign may follow, then the digits; what
// follows them is ignored. A number beyond the 32-bit range saturates there,
// as strtol does with a 32-bit long.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Only the first 63 characters of a box's text take part.
constexpr std::size_t SCAN_LONG_MAX_TEXT = 63;

std::optional<std::int32_t> ScanLong(std::string_view text);
