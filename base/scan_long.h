// Whole decimal numbers read from text. A number beyond the 32-bit range
// saturates there, as strtol does with a 32-bit long.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The number at the start of `text`, the way sscanf's "%ld" reads it: blanks
// first are skipped, a sign may follow, then the digits; what follows them is
// ignored.
std::optional<std::int32_t> ScanLeadingLong(std::string_view text);

// A box's text that holds one number: blanks may stand before and after it,
// anything else makes it no number.
std::optional<std::int32_t> ScanLong(std::string_view text);
