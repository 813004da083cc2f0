// JSON out. Device texts are bytes in no known encoding: each byte becomes
// the character of the same number (U+0000 to U+00FF), so that the bytes
// come back exactly, and every control character, C1 ones included, is
// written as \uNNNN so that none reaches a terminal raw.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A JSON string, quotes included.
std::string JsonString(std::string_view bytes);

// {"key": value, ...}: the values are JSON already.
using JsonMembers = std::vector<std::pair<std::string, std::string>>;
std::string JsonObject(const JsonMembers& members);

// [value, ...]: the values are JSON already.
std::string JsonArray(const std::vector<std::string>& values);
