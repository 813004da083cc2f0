#include "command_table.h"

#include "commands.h"
#include "errors.h"

namespace {

struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    size_t minArgs;
    size_t maxArgs;
    std::vector<OptionSpec> options;
    Json (*run)(Context&, const Args&);
};

const OptionSpec kAtLeast = {"--at-least", false};
const OptionSpec kCaption = {"--caption", true};
const OptionSpec kCount = {"--count", true};
const OptionSpec kFirst = {"--first", true};
const OptionSpec kIndex = {"--index", true};
const OptionSpec kTo = {"--to", true};
constexpr size_t kMany = 1000;

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"find",
         "find [--caption TEXT] [--timeout MS]",
         "Wait for the main window (found by its exact caption; --caption changes it for the\n"
         "commands after). Answers its handle, caption, state, process id, executable and code page.",
         0,
         0,
         {kCaption, kTimeoutOption},
         CmdFind},
        {"describe",
         "describe [WINDOW]",
         "The window (default main) and each of its controls: id, class, text, visible, enabled,\n"
         "checked, focused, style bits, rectangle in client pixels (rect).",
         0,
         1,
         {},
         CmdDescribe},
        {"control",
         "control CONTROL [--in WINDOW]",
         "One control, as describe shows it.",
         1,
         1,
         {kInOption},
         CmdControl},
        {"text",
         "text CONTROL [--in WINDOW]",
         "The text of a control (of a password edit too).",
         1,
         1,
         {kInOption},
         CmdText},
        {"click",
         "click CONTROL [--in WINDOW]",
         "Click a control as a user does: mouse down and up in its middle. Refused when the\n"
         "control is hidden or disabled, or its window is disabled behind a modal box.",
         1,
         1,
         {kInOption},
         CmdClick},
        {"command",
         "command CONTROL [CODE] [--in WINDOW]",
         "Post WM_COMMAND to the window as the control would send it: CODE (a number or a name\n"
         "such as BN_CLICKED, the default) and the control's handle. Works on hidden and\n"
         "disabled controls.",
         1,
         2,
         {kInOption},
         CmdCommand},
        {"focus",
         "focus CONTROL [--in WINDOW] [--timeout MS]",
         "Move the focus to a control as the Tab key does, and wait until it has it.",
         1,
         1,
         {kInOption, kTimeoutOption},
         CmdFocus},
        {"type",
         "type CONTROL TEXT [--in WINDOW] [--timeout MS]",
         "Type into an edit: focus it, select all, then one WM_CHAR per character, so that the\n"
         "edit notifies EN_CHANGE as for a user. Waits until the edit took every character and\n"
         "answers its text.",
         2,
         2,
         {kInOption, kTimeoutOption},
         CmdType},
        {"set-text",
         "set-text CONTROL TEXT [--in WINDOW]",
         "Set a control's text directly (WM_SETTEXT).",
         2,
         2,
         {kInOption},
         CmdSetText},
        {"key",
         "key KEY... [--to CONTROL] [--in WINDOW]",
         "Press keys (WM_KEYDOWN and WM_KEYUP, posted through the program's message loop, so\n"
         "that the dialog turns Enter into OK and Escape into Cancel) in the control that has the\n"
         "focus, or in CONTROL after moving the focus there.",
         1,
         kMany,
         {kTo, kInOption},
         CmdKey},
        {"combo",
         "combo CONTROL [--in WINDOW]",
         "A combo box's entries and its selection (index and text).",
         1,
         1,
         {kInOption},
         CmdCombo},
        {"select",
         "select CONTROL TEXT | select CONTROL --index N [--in WINDOW]",
         "Pick a combo box entry by its exact text or index as a user does: the selection\n"
         "changes and the dialog gets CBN_SELCHANGE.",
         1,
         2,
         {kIndex, kInOption},
         CmdSelect},
        {"list",
         "list CONTROL [--first N] [--count N] [--in WINDOW]",
         "A list view: column titles, row count (count), and each row's cells, check box,\n"
         "selection, focus and item data (rows; all, or --count rows from row --first).",
         1,
         1,
         {kFirst, kCount, kInOption},
         CmdList},
        {"list-click",
         "list-click CONTROL ROW [COLUMN] [--in WINDOW]",
         "Click a row (in COLUMN; default 1, else 0) with the mouse: the program gets NM_CLICK.",
         2,
         3,
         {kInOption},
         CmdListClick},
        {"list-dblclick",
         "list-dblclick CONTROL ROW [COLUMN] [--in WINDOW]",
         "Double-click a row with the mouse: the program gets NM_DBLCLK.",
         2,
         3,
         {kInOption},
         CmdListDoubleClick},
        {"list-check",
         "list-check CONTROL ROW [on|off|toggle] [--in WINDOW] [--timeout MS]",
         "Click a row's check box (toggle by default; on and off click only when the box shows\n"
         "otherwise) and wait until it changed.",
         2,
         3,
         {kInOption, kTimeoutOption},
         CmdListCheck},
        {"list-click-empty",
         "list-click-empty CONTROL [double] [--in WINDOW]",
         "Click (or, with \"double\", double-click) the empty area below the last row.",
         1,
         2,
         {kInOption},
         CmdListClickEmpty},
        {"header-click",
         "header-click CONTROL COLUMN [--in WINDOW]",
         "Click a column's title: the program gets LVN_COLUMNCLICK.",
         2,
         2,
         {kInOption},
         CmdHeaderClick},
        {"msgbox",
         "msgbox",
         "The open message box: caption, text, buttons (id and text) and icon (exclamation,\n"
         "question, information, error, none; unknown for any other). Fails when none is open.",
         0,
         0,
         {},
         CmdMsgBox},
        {"msgbox-press",
         "msgbox-press BUTTON [--timeout MS]",
         "Press a button of the open message box, given by id or text (& and case ignored),\n"
         "and wait until the box closes.",
         1,
         1,
         {kTimeoutOption},
         CmdMsgBoxPress},
        {"sysmenu",
         "sysmenu",
         "The entries of the main window's system menu, where the system lets another program\n"
         "read them (Wine does not: the command then fails and says so).",
         0,
         0,
         {},
         CmdSysMenu},
        {"syscommand",
         "syscommand [ID]",
         "Post WM_SYSCOMMAND with ID (default 16, the about entry) to the main window, as the\n"
         "system menu does.",
         0,
         1,
         {},
         CmdSysCommand},
        {"about", "about", "The about box (found by --about-caption), as describe shows it.", 0, 0, {}, CmdAbout},
        {"about-ok",
         "about-ok [--timeout MS]",
         "Press the about box's OK and wait until it closes.",
         0,
         0,
         {kTimeoutOption},
         CmdAboutOk},
        {"wait-window",
         "wait-window WINDOW [visible|present|hidden|gone] [--timeout MS]",
         "Wait until the window is in that state (default visible; hidden includes gone).",
         1,
         2,
         {kTimeoutOption},
         CmdWaitWindow},
        {"wait-rows",
         "wait-rows CONTROL N [--at-least] [--in WINDOW] [--timeout MS]",
         "Wait until the list view exists and has N rows (or at least N).",
         2,
         2,
         {kAtLeast, kInOption, kTimeoutOption},
         CmdWaitRows},
        {"wait-text",
         "wait-text CONTROL TEXT [--in WINDOW] [--timeout MS]",
         "Wait until the control exists and its text is TEXT.",
         2,
         2,
         {kInOption, kTimeoutOption},
         CmdWaitText},
        {"wait-state",
         "wait-state CONTROL STATE [--in WINDOW] [--timeout MS]",
         "Wait until the control exists and is enabled, disabled, visible, hidden, checked or unchecked.",
         2,
         2,
         {kInOption, kTimeoutOption},
         CmdWaitState},
        {"wait-exit",
         "wait-exit [--timeout MS]",
         "Wait until the program found last has ended; answers its exit code.",
         0,
         0,
         {kTimeoutOption},
         CmdWaitExit},
    };
    return commands;
}

Json Failure(const std::string& name, const std::string& error)
{
    Json answer = Json::Object().Set("ok", false);
    if (!name.empty()) {
        answer.Set("command", name);
    }
    return answer.Set("error", error);
}

}  // namespace

Json RunCommand(Context& context, const std::vector<std::string>& words)
{
    if (words.empty()) {
        return Failure("", "no command given");
    }
    const std::string& name = words[0];
    const Command* command = nullptr;
    for (const Command& candidate : Commands()) {
        if (name == candidate.name) {
            command = &candidate;
        }
    }
    if (command == nullptr) {
        return Failure(name, "unknown command \"" + name + "\"; see --help");
    }
    try {
        Args args(std::vector<std::string>(words.begin() + 1, words.end()), command->options);
        if (args.Count() < command->minArgs || args.Count() > command->maxArgs) {
            throw UsageError(std::string("usage: ") + command->synopsis);
        }
        Json answer = Json::Object().Set("ok", true).Set("command", name);
        answer.Merge(command->run(context, args));
        return answer;
    } catch (const UsageError& error) {
        return Failure(name, error.what());
    } catch (const TimeoutError& error) {
        return Failure(name, error.what()).Set("timedOut", true).Set("seen", error.Seen());
    } catch (const DriverError& error) {
        Json answer = Failure(name, error.what());
        if (!error.Seen().IsNull()) {
            answer.Set("seen", error.Seen());
        }
        return answer;
    } catch (const std::exception& error) {
        return Failure(name, std::string("internal error: ") + error.what());
    }
}

std::string CommandsHelp()
{
    std::string text;
    for (const Command& command : Commands()) {
        text += "  ";
        text += command.synopsis;
        text += "\n";
        std::string help = command.help;
        size_t start = 0;
        while (start <= help.size()) {
            size_t end = help.find('\n', start);
            if (end == std::string::npos) {
                end = help.size();
            }
            text += "      " + help.substr(start, end - start) + "\n";
            start = end + 1;
        }
    }
    return text;
}
