#include <string>

#include "commands.h"
#include "controls.h"
#include "describe.h"
#include "errors.h"
#include "messages.h"
#include "user_input.h"
#include "window_select.h"

namespace {

constexpr UINT kAboutCommand = 0x0010;

}  // namespace

Json CmdFind(Context& context, const Args& args)
{
    if (std::optional<std::string> caption = args.Value("--caption")) {
        context.settings.mainCaption = *caption;
    }
    HWND main = context.target.MainWindow(TimeoutOf(context, args));
    return BriefWindow(main)
        .Set("pid", static_cast<unsigned long>(context.target.ProcessId()))
        .Set("executable", context.target.ImagePath())
        .Set("codePage", static_cast<unsigned long>(GetACP()));
}

Json CmdDescribe(Context& context, const Args& args)
{
    std::string selector = args.Count() > 0 ? args.At(0) : "main";
    HWND window = RequireSelected(context.target, selector);
    return DescribeWindow(window, true);
}

Json CmdControl(Context& context, const Args& args)
{
    return DescribeControl(ControlOf(context, args, 0));
}

Json CmdText(Context& context, const Args& args)
{
    HWND control = ControlOf(context, args, 0);
    return Json::Object().Set("id", IdOf(control)).Set("text", TextOf(control));
}

Json CmdSysMenu(Context& context, const Args&)
{
    HWND main = context.target.MainWindow();
    HMENU menu = GetSystemMenu(main, FALSE);
    int count = menu != nullptr ? GetMenuItemCount(menu) : -1;
    if (count < 0) {
        // Wine keeps a menu inside the process that owns it.
        throw DriverError("the system menu of another program cannot be read here (" + SystemErrorText(GetLastError()) +
                          "); open its entries with syscommand");
    }
    Json entries = Json::Array();
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) {
            throw DriverError("entry " + std::to_string(i) + " of the system menu cannot be read (" +
                              SystemErrorText(GetLastError()) + ")");
        }
        bool separator = (item.fType & MFT_SEPARATOR) != 0;
        entries.Push(Json::Object()
                         .Set("id", static_cast<unsigned long>(item.wID))
                         .Set("text", separator ? Json() : Json(text))
                         .Set("separator", separator));
    }
    return Json::Object().Set("entries", entries);
}

Json CmdSysCommand(Context& context, const Args& args)
{
    HWND main = context.target.MainWindow();
    long long id = args.Count() > 0 ? ParseInteger(args.At(0), "a system command id") : kAboutCommand;
    if (id < 0 || id > 0xFFFF) {
        throw UsageError("a system command id lies between 0 and 0xFFFF");
    }
    // Posted: the command may open a modal box, whose loop would hold up
    // a sent message until the box closes.
    Post(main, WM_SYSCOMMAND, static_cast<WPARAM>(id), 0);
    return Json::Object().Set("id", id).Set("settled", Settle(main, 1));
}
