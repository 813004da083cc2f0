// The known name an operator most likely meant by one nwctl does not know,
// for messages that say "did you mean ...?".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Of `known` (lower-case, words joined by '_'): the one `given` spells with
// other case or other word separators (blanks, '-'), else the nearest
// within two typing slips (a letter wrong, missing, extra or two swapped),
// else the longest that `given` starts with as its first word or words.
// None when nothing is that near.
std::optional<std::string> NearestName(std::string_view given, const std::vector<std::string>& known);
