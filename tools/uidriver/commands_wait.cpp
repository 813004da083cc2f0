#include <string>

#include "commands.h"
#include "controls.h"
#include "describe.h"
#include "errors.h"
#include "list_view.h"
#include "messages.h"
#include "wait.h"
#include "window_select.h"

namespace {

Json ControlState(HWND control)
{
    Json state = Json::Object()
                     .Set("visible", IsWindowVisible(control) != FALSE)
                     .Set("enabled", IsWindowEnabled(control) != FALSE);
    if (ClassOf(control) == "Button") {
        state.Set("checked", Send(control, BM_GETCHECK) == BST_CHECKED);
    }
    return state;
}

bool HasState(HWND control, const std::string& state)
{
    if (state == "enabled" || state == "disabled") {
        return (IsWindowEnabled(control) != FALSE) == (state == "enabled");
    }
    if (state == "visible" || state == "hidden") {
        return (IsWindowVisible(control) != FALSE) == (state == "visible");
    }
    return (Send(control, BM_GETCHECK) == BST_CHECKED) == (state == "checked");
}

bool WindowInState(HWND window, const std::string& state)
{
    if (state == "present") {
        return window != nullptr;
    }
    if (state == "gone") {
        return window == nullptr;
    }
    bool visible = window != nullptr && IsWindowVisible(window);
    return visible == (state == "visible");
}

// The control a wait is about. A wait may begin before the window has made
// its controls (a dialog has its caption before its controls), so the
// control is waited for too, within the same time.
HWND AwaitControl(Context& context, const Args& args, DWORD timeout)
{
    HWND control = nullptr;
    std::string why;
    WaitUntil(timeout, [&] {
        try {
            control = ControlOf(context, args, 0);
        } catch (const DriverError& error) {
            why = error.what();
        }
        return control != nullptr;
    });
    if (control == nullptr) {
        throw DriverError(why);
    }
    return control;
}

}  // namespace

Json CmdWaitWindow(Context& context, const Args& args)
{
    const std::string& selector = args.At(0);
    CheckWindowSelector(selector);
    std::string state = args.Count() > 1 ? args.At(1) : "visible";
    if (state != "visible" && state != "present" && state != "hidden" && state != "gone") {
        throw UsageError("a window's state is visible, present, hidden or gone, not \"" + state + "\"");
    }
    DWORD timeout = TimeoutOf(context, args);
    HWND window = nullptr;
    if (!WaitUntil(timeout, [&] { return WindowInState(window = FindSelectedNow(context.target, selector), state); })) {
        ThrowTimeout(SelectorName(selector) + " to be " + state, timeout,
                     window != nullptr ? BriefWindow(window) : Json::Object().Set("present", false));
    }
    Json answer = window != nullptr && IsWindow(window) ? BriefWindow(window) : Json::Object();
    return answer.Set("state", state);
}

Json CmdWaitRows(Context& context, const Args& args)
{
    DWORD timeout = TimeoutOf(context, args);
    ListView list(AwaitControl(context, args, timeout));
    int wanted = NumberArg(args, 1, "a row count");
    bool atLeast = args.Flag("--at-least");
    int count = 0;
    if (!WaitUntil(timeout, [&] {
            count = list.RowCount();
            return atLeast ? count >= wanted : count == wanted;
        })) {
        ThrowTimeout(
            std::string(atLeast ? "at least " : "") + std::to_string(wanted) + " rows in " + ControlName(list.Handle()),
            timeout, Json::Object().Set("count", count));
    }
    return Json::Object().Set("count", count);
}

Json CmdWaitText(Context& context, const Args& args)
{
    DWORD timeout = TimeoutOf(context, args);
    HWND control = AwaitControl(context, args, timeout);
    const std::string& wanted = args.At(1);
    std::string text;
    if (!WaitUntil(timeout, [&] { return (text = TextOf(control)) == wanted; })) {
        ThrowTimeout(ControlName(control) + " to show \"" + wanted + "\"", timeout, Json::Object().Set("text", text));
    }
    return Json::Object().Set("id", IdOf(control)).Set("text", text);
}

Json CmdWaitState(Context& context, const Args& args)
{
    const std::string& state = args.At(1);
    if (state != "enabled" && state != "disabled" && state != "visible" && state != "hidden" && state != "checked" &&
        state != "unchecked") {
        throw UsageError("a control's state is enabled, disabled, visible, hidden, checked or unchecked, not \"" +
                         state + "\"");
    }
    DWORD timeout = TimeoutOf(context, args);
    HWND control = AwaitControl(context, args, timeout);
    if (!WaitUntil(timeout, [&] { return HasState(control, state); })) {
        ThrowTimeout(ControlName(control) + " to be " + state, timeout, ControlState(control));
    }
    return Json::Object().Set("id", IdOf(control)).Merge(ControlState(control));
}

Json CmdWaitExit(Context& context, const Args& args)
{
    Target& target = context.target;
    if (!target.Running()) {
        target.FindMainWindowNow();
    }
    HANDLE process = target.Process();
    if (process == nullptr) {
        throw DriverError("no program was found whose end could be awaited");
    }
    DWORD timeout = TimeoutOf(context, args);
    if (WaitForSingleObject(process, timeout) != WAIT_OBJECT_0) {
        HWND main = target.FindMainWindowNow();
        ThrowTimeout("the program to end", timeout,
                     main != nullptr ? BriefWindow(main) : Json::Object().Set("running", true));
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code)) {
        throw DriverError("the program ended, but its exit code cannot be read (" + SystemErrorText(GetLastError()) +
                          ")");
    }
    return Json::Object().Set("exitCode", static_cast<unsigned long>(code));
}
