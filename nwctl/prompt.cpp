// The prompt's flow, the same on every platform.
#include "prompt.h"

#include <cstdio>

namespace {

bool ReadLine(std::string& line)
{
    line.clear();
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
        line += buffer;
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
    }
    return !line.empty();
}

}  // namespace

bool AskTerminal(const std::string& prompt, std::string& line, bool secret)
{
    const bool quiet = secret && EchoOff();
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    const bool read = ReadLine(line);
    if (quiet)
        EchoOn();
    return read;
}
