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
    return "usage: uidriver.exe [OPTIONS] < COMMAND-LINES\n"
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
           "  -h, --help            this text\n"
           "\n"
           "Commands come on stdin, one a line, each a JSON array of strings: the command's name,\n"
           "then its arguments, e.g. [\"text\", \"1000\"]. [\"quit\"] or the end of input ends the\n"
           "session.\n"
           "\n"
           "Answers: one JSON object per command and line, {\"ok\": true, \"command\": NAME, ...} or\n"
           "{\"ok\": false, \"command\": NAME, \"error\": TEXT}; a wait that timed out adds\n"
           "\"timedOut\": true and \"seen\" (what it saw last). Texts are the program's ANSI bytes:\n"
           "bytes from 0x80 up are written as \\u0080 to \\u00ff, one escape per byte, so a reader\n"
           "gets the bytes back exactly and decodes them with the ANSI code page (find answers\n"
           "\"codePage\"). Command lines use the same escapes.\n"
           "\n"
           "Exit status: 0 at the end of the session, whatever its commands answered; 1 stdin could\n"
           "not be read (stderr says why); 2 a bad option.\n"
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
