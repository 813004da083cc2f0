#include "session.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "command_table.h"
#include "errors.h"
#include "session_line.h"

namespace {

bool ReadLine(std::string& line)
{
    line.clear();
    char chunk[4096];
    while (std::fgets(chunk, sizeof chunk, stdin) != nullptr) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') {
            break;
        }
    }
    if (line.empty()) {
        return false;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return true;
}

}  // namespace

void PrintAnswer(const Json& answer)
{
    std::string line = answer.Dump() + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

int RunSession(Context& context)
{
    std::string line;
    while (ReadLine(line)) {
        std::vector<std::string> words;
        try {
            words = SplitSessionLine(line);
        } catch (const UsageError& error) {
            PrintAnswer(Json::Object().Set("ok", false).Set("error", error.what()));
            continue;
        }
        if (words.size() == 1 && words[0] == "quit") {
            PrintAnswer(Json::Object().Set("ok", true).Set("command", "quit"));
            return 0;
        }
        PrintAnswer(RunCommand(context, words));
    }
    if (std::ferror(stdin)) {
        // Not the end of the commands: whoever waits for an answer learns
        // why none will come.
        std::fprintf(stderr, "uidriver: reading the next command failed: %s\n", std::strerror(errno));
        return kReadFailedStatus;
    }
    return 0;
}
