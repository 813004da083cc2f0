// uidriver.exe: drives the program's dialogs from outside, as a user would.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "args.h"
#include "command_table.h"
#include "errors.h"
#include "session.h"
#include "settings.h"
#include "target.h"
#include "usage.h"

namespace {

int UsageFailure(const std::string& error)
{
    PrintAnswer(Json::Object().Set("ok", false).Set("error", error));
    std::fputs(("uidriver: " + error + " (see uidriver.exe --help)\n").c_str(), stderr);
    return static_cast<int>(Outcome::Misused);
}

int RunOneShot(Context& context, const std::vector<std::string>& words)
{
    std::vector<std::string> command;
    for (size_t i = 0; i <= words.size(); ++i) {
        if (i < words.size() && words[i] != ";") {
            command.push_back(words[i]);
            continue;
        }
        if (command.empty()) {
            return UsageFailure("an empty command between \";\" words");
        }
        CommandResult result = RunCommand(context, command);
        PrintAnswer(result.answer);
        if (result.outcome != Outcome::Done) {
            return static_cast<int>(result.outcome);
        }
        command.clear();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Answers are lines of ASCII; no CR may be added to them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);

    Settings settings;
    bool session = false;
    int i = 1;
    try {
        for (; i < argc && std::string(argv[i]).compare(0, 1, "-") == 0; ++i) {
            std::string option = argv[i];
            if (option == "-h" || option == "--help") {
                std::fputs(UsageText().c_str(), stdout);
                return 0;
            }
            if (option == "--session") {
                session = true;
                continue;
            }
            if (option != "--caption" && option != "--about-caption" && option != "--timeout") {
                throw UsageError("unknown option " + option);
            }
            if (i + 1 == argc) {
                throw UsageError("option " + option + " needs a value");
            }
            std::string value = argv[++i];
            if (option == "--caption") {
                settings.mainCaption = value;
            } else if (option == "--about-caption") {
                settings.aboutCaption = value;
            } else {
                settings.timeoutMs = ParseMilliseconds(value);
            }
        }
    } catch (const UsageError& error) {
        return UsageFailure(error.what());
    }

    Target target(settings);
    Context context{settings, target};
    std::vector<std::string> words(argv + i, argv + argc);
    if (session) {
        if (!words.empty()) {
            return UsageFailure("--session takes no command on the command line");
        }
        return RunSession(context);
    }
    if (words.empty()) {
        return UsageFailure("no command given");
    }
    return RunOneShot(context, words);
}
