// A count with its noun, as every message says one: "1 problem",
// "2 problems", "0 devices".
#pragma once

#include <cstddef>
#include <string>

// `noun` is singular and takes an "s" for the plural, as every noun counted
// in nwctl's messages does.
std::string Counted(std::size_t count, const char* noun);
