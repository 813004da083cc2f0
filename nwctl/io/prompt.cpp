// The prompt's flow, the same on every platform.
#include "io/prompt.h"

#include <cstdio>
#include <cstdlib>

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

// Wider than any terminal: a COLUMNS beyond it is taken for a mistake.
constexpr unsigned long kWidestTerminal = 10000;

}  // namespace

std::optional<std::size_t> OutputColumns()
{
    const std::optional<std::size_t> measured = TerminalColumns();
    if (!measured)
        return std::nullopt;
    if (const char* columns = std::getenv("COLUMNS")) {
        char* end = nullptr;
        const unsigned long width = std::strtoul(columns, &end, 10);
        if (*columns >= '0' && *columns <= '9' && *end == '\0' && width > 0 && width <= kWidestTerminal)
            return static_cast<std::size_t>(width);
    }
    return measured;
}

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
