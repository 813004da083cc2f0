// JSON out: texts as json_text.h writes them (JsonString), objects and
// arrays of values that are JSON already.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "json_text.h"

// {"key": value, ...}: the values are JSON already.
using JsonMembers = std::vector<std::pair<std::string, std::string>>;
std::string JsonObject(const JsonMembers& members);

// [value, ...]: the values are JSON already.
std::string JsonArray(const std::vector<std::string>& values);
