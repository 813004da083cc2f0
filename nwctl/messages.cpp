#include "messages.h"

#include <cstdio>

int Fail(int code, const std::string& message)
{
    std::fprintf(stderr, "nwctl: %s\n", message.c_str());
    return code;
}
