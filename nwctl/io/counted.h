// A count with its noun, as every message says one: "1 problem",
// "2 problems", "0 devices".
#pragma once

#include <cstddef>
#include <string>

// `one` is the singular; the plural is `many`, or `one` with an "s".
std::string Counted(std::size_t count, const std::string& one, const std::string& many = "");
