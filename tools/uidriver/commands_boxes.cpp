#include <string>

#include "commands.h"
#include "controls.h"
#include "describe.h"
#include "errors.h"
#include "message_box.h"
#include "messages.h"
#include "user_input.h"
#include "wait.h"
#include "window_select.h"

namespace {

// How long a message box's icon may take to be painted.
constexpr DWORD kIconPaintMs = 2000;

// Clicks a button of a box and waits for the box to close.
Json PressAndWait(Context& context, const Args& args, HWND box, HWND button, const std::string& boxName)
{
    RequireReachable(button);
    Json answer = Json::Object().Set("id", IdOf(button)).Set("pressed", TextOf(button));
    PostMouseClick(button, MiddleOf(button), false);
    DWORD timeout = TimeoutOf(context, args);
    if (!WaitUntil(timeout, [&] { return !IsWindow(box) || !IsWindowVisible(box); })) {
        ThrowTimeout(boxName + " to close", timeout, BriefWindow(box));
    }
    return answer;
}

}  // namespace

Json CmdMsgBox(Context& context, const Args&)
{
    HWND box = RequireSelected(context.target, "msgbox");
    return Json::Object().Set("hwnd", HandleText(box)).Merge(DescribeMessageBox(box, kIconPaintMs));
}

Json CmdMsgBoxPress(Context& context, const Args& args)
{
    HWND box = RequireSelected(context.target, "msgbox");
    return PressAndWait(context, args, box, MessageBoxButton(box, args.At(0)), "the message box");
}

Json CmdAbout(Context& context, const Args&)
{
    HWND box = RequireSelected(context.target, "about");
    return DescribeWindow(box, true);
}

Json CmdAboutOk(Context& context, const Args& args)
{
    HWND box = RequireSelected(context.target, "about");
    return PressAndWait(context, args, box, FindControl(box, std::to_string(IDOK)), "the about box");
}
