#include "cli/messages.h"

#include <cstdio>

#include "cli/progress.h"

int Fail(int code, const std::string& message)
{
    Progress::EraseShown();
    std::fprintf(stderr, "nwctl: %s\n", message.c_str());
    return code;
}

void Say(const std::string& line)
{
    Progress::EraseShown();
    std::fputs((line + '\n').c_str(), stdout);
    std::fflush(stdout);
}
