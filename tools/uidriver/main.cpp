// uidriver.exe: drives the program's dialogs from outside, as a user would,
// one command a line on stdin.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "args.h"
#include "errors.h"
#include "session.h"
#include "settings.h"
#include "target.h"
#include "usage.h"

namespace {

// A bad option: the driver runs no session.
constexpr int kUsageStatus = 2;

// Under Wine a crash may end the driver without a word; this one says what
// and where, for the test that was waiting for an answer.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "uidriver: exception 0x%08lX at %p\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    return EXCEPTION_CONTINUE_SEARCH;
}

int UsageFailure(const std::string& error)
{
    PrintAnswer(Json::Object().Set("ok", false).Set("error", error));
    std::fputs(("uidriver: " + error + " (see uidriver.exe --help)\n").c_str(), stderr);
    return kUsageStatus;
}

}  // namespace

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(ReportCrash);
    // Answers are lines of ASCII; no CR may be added to them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);

    Settings settings;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string option = argv[i];
            if (option == "-h" || option == "--help") {
                std::fputs(UsageText().c_str(), stdout);
                return 0;
            }
            if (option.compare(0, 1, "-") != 0) {
                throw UsageError("\"" + option +
                                 "\" on the command line: commands come on stdin, one JSON array a line");
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
    return RunSession(context);
}
