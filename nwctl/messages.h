// nwctl's messages on standard error.
#pragma once

#include <string>

// Writes "nwctl: MESSAGE" to standard error and returns `code`.
int Fail(int code, const std::string& message);
