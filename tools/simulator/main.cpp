// nwsim: plays discovery-protocol devices for tests, or sends crafted
// datagrams; see usage.cpp.
#include <cstdio>
#include <string>
#include <vector>

#include "modes.h"
#include "options.h"
#include "usage.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine commandLine;
    std::string error;
    if (!ParseCommandLine(args, commandLine, error)) {
        std::fprintf(stderr, "nwsim: %s\n(nwsim --help tells more)\n", error.c_str());
        return 2;
    }
    switch (commandLine.mode) {
        case CommandLine::Mode::Help:
            std::fputs(kUsage, stdout);
            return 0;
        case CommandLine::Mode::Check:
            return RunCheck(commandLine.serve);
        case CommandLine::Mode::Send:
            return RunSend(commandLine.send);
        case CommandLine::Mode::Serve:
            return RunServe(commandLine.serve);
    }
    return 2;
}
