#include "usage.h"

#include "command_table.h"
#include "key_names.h"
#include "settings.h"

namespace {

// Breaks a paragraph into lines of at most 90 characters at blanks.
std::string Wrapped(const std::string& paragraph)
{
    constexpr size_t kWidth = 90;
    std::string text;
    size_t lineStart = 0;
    size_t lastBlank = std::string::npos;
    for (size_t i = 0; i < paragraph.size(); ++i) {
        if (paragraph[i] == ' ') {
            lastBlank = i;
        }
        if (i - lineStart >= kWidth && lastBlank != std::string::npos && lastBlank > lineStart) {
            text += paragraph.substr(lineStart, lastBlank - lineStart) + "\n";
            lineStart = lastBlank + 1;
        }
    }
    return text + paragraph.substr(lineStart) + "\n";
}

}  // namespace

std::string UsageText()
{
    Settings defaults;
    return "usage: uidriver.exe [OPTIONS] COMMAND [ARGS...] [; COMMAND [ARGS...]]...\n"
           "       uidriver.exe [OPTIONS] --session\n"
           "\n"
           "Drives a dialog program from outside its process, as a user would, and reports what a\n"
           "user would see. It runs beside the program (same Wine prefix and display; on Windows at\n"
           "the program's integrity level). The program is found by its main window's exact caption;\n"
           "its message boxes, about box and wait box are found among its process's windows.\n"
           "\n"
           "Options:\n"
           "  --caption TEXT        caption of the main window (default \"" +
           defaults.mainCaption +
           "\")\n"
           "  --about-caption TEXT  caption of the about box (default \"" +
           defaults.aboutCaption +
           "\")\n"
           "  --timeout MS          time limit of every wait, the search for the main window\n"
           "                        included (default " +
           std::to_string(defaults.timeoutMs) +
           "); commands that wait also take --timeout\n"
           "  --session             read one command per line on stdin, answer each with one line\n"
           "  -h, --help            this text\n"
           "\n"
           "One-shot: the commands run in order, separated by a word \";\", until one fails.\n"
           "Session: each line is a command, either as words (\"double quotes\" around a word with\n"
           "blanks; \\\" and \\\\ inside them) or as a JSON array of strings; \"quit\" or the end of\n"
           "input ends the session.\n"
           "\n"
           "Answers: one JSON object per command and line, {\"ok\": true, \"command\": NAME, ...} or\n"
           "{\"ok\": false, \"command\": NAME, \"error\": TEXT}; a wait that timed out adds\n"
           "\"timedOut\": true and \"seen\" (what it saw last). Texts are the program's ANSI bytes:\n"
           "bytes from 0x80 up are written as \\u0080 to \\u00ff, one escape per byte, so a reader\n"
           "gets the bytes back exactly and decodes them with the ANSI code page (find answers\n"
           "\"codePage\"). Session input in JSON uses the same escapes.\n"
           "\n"
           "Exit status: 0 every command succeeded; 1 a command failed or timed out; 2 usage error.\n"
           "A session ends with 0.\n"
           "\n"
           "WINDOW: main (default), msgbox (the open message box), about (the about box), wait (the\n"
           "wait box: a dialog with static texts only), or caption=TEXT.\n"
           "CONTROL: an id (decimal, or hexadecimal with 0x; -1 finds a static without an id) or\n"
           "text=TEXT (the first control with that text; & and case ignored).\n"
           "ROW, COLUMN: numbers from 0.\n" +
           Wrapped("KEY: " + KeyNamesText() + ".") +
           "Actions are posted like user input and return once the program's message loop has\n"
           "taken them in (\"settled\": false when it did not answer in time, e.g. while busy).\n"
           "\n"
           "Commands:\n" +
           CommandsHelp();
}
