// nwctl's messages on standard error and the lines it prints between the
// steps of a run, each after a progress count is erased (progress.h).
#pragma once

#include <string>

// Writes "nwctl: MESSAGE" to standard error and returns `code`.
int Fail(int code, const std::string& message);

// Writes LINE and a line break to standard output, at once.
void Say(const std::string& line);
