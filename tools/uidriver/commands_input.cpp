#include <string>
#include <vector>

#include "commands.h"
#include "controls.h"
#include "errors.h"
#include "key_names.h"
#include "messages.h"
#include "user_input.h"
#include "wait.h"

namespace {

struct NotificationName {
    const char* name;
    int code;
};

constexpr NotificationName kNotifications[] = {
    {"BN_CLICKED", BN_CLICKED},     {"BN_DOUBLECLICKED", BN_DOUBLECLICKED}, {"EN_CHANGE", EN_CHANGE},
    {"EN_UPDATE", EN_UPDATE},       {"CBN_SELCHANGE", CBN_SELCHANGE},       {"CBN_SELENDOK", CBN_SELENDOK},
    {"CBN_DROPDOWN", CBN_DROPDOWN}, {"CBN_CLOSEUP", CBN_CLOSEUP},
};

int NotificationCode(const std::string& text)
{
    for (const NotificationName& notification : kNotifications) {
        if (text == notification.name) {
            return notification.code;
        }
    }
    long long code = ParseInteger(text, "a notification code (a number or a name such as BN_CLICKED)");
    if (code < 0 || code > 0xFFFF) {
        throw UsageError("a notification code lies between 0 and 0xFFFF");
    }
    return static_cast<int>(code);
}

HWND RequireEdit(Context& context, const Args& args)
{
    HWND edit = ControlOf(context, args, 0);
    if (ClassOf(edit) != "Edit") {
        throw DriverError(ControlName(edit) + " is a " + ClassOf(edit) + ", not an edit box");
    }
    return edit;
}

}  // namespace

Json CmdClick(Context& context, const Args& args)
{
    HWND control = ControlOf(context, args, 0);
    RequireReachable(control);
    Json answer = Json::Object().Set("id", IdOf(control)).Set("text", TextOf(control));
    int posted = PostMouseClick(control, MiddleOf(control), false);
    return answer.Set("settled", Settle(control, posted));
}

Json CmdCommand(Context& context, const Args& args)
{
    HWND dialog = WindowOf(context, args);
    HWND control = FindControl(dialog, args.At(0));
    int code = args.Count() > 1 ? NotificationCode(args.At(1)) : BN_CLICKED;
    // As the control itself would notify; posted, so that a handler that
    // opens a modal box does not hold up the driver.
    Post(dialog, WM_COMMAND, MAKEWPARAM(IdOf(control), code), reinterpret_cast<LPARAM>(control));
    return Json::Object().Set("id", IdOf(control)).Set("code", code).Set("settled", Settle(dialog, 1));
}

Json CmdFocus(Context& context, const Args& args)
{
    HWND control = ControlOf(context, args, 0);
    RequireReachable(control);
    PostFocus(GetParent(control), control);
    DWORD timeout = TimeoutOf(context, args);
    if (!WaitUntil(timeout, [&] { return FocusOf(control) == control; })) {
        HWND focus = FocusOf(control);
        ThrowTimeout("the focus to reach " + ControlName(control), timeout,
                     Json::Object().Set("focus", focus != nullptr ? Json(IdOf(focus)) : Json()));
    }
    return Json::Object().Set("id", IdOf(control));
}

Json CmdType(Context& context, const Args& args)
{
    HWND edit = RequireEdit(context, args);
    RequireReachable(edit);
    const std::string& text = args.At(1);
    // The edit's modified flag marks the end of the typing: set now, and
    // cleared by a message posted after the last character, it reads clear
    // once the edit has taken in every character before it.
    Send(edit, EM_SETMODIFY, TRUE);
    PostFocus(GetParent(edit), edit);
    Post(edit, EM_SETSEL, 0, -1);
    PostChars(edit, text);
    Post(edit, EM_SETMODIFY, FALSE);
    DWORD timeout = TimeoutOf(context, args);
    if (!WaitUntil(timeout, [&] { return Send(edit, EM_GETMODIFY) == 0; })) {
        ThrowTimeout(ControlName(edit) + " to take in the typed text", timeout,
                     Json::Object().Set("text", TextOf(edit)));
    }
    // Typing leaves an edit modified.
    if (!text.empty()) {
        Send(edit, EM_SETMODIFY, TRUE);
    }
    return Json::Object().Set("id", IdOf(edit)).Set("text", TextOf(edit));
}

Json CmdSetText(Context& context, const Args& args)
{
    HWND control = ControlOf(context, args, 0);
    if (!Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.At(1).c_str()))) {
        throw DriverError(ControlName(control) + " refused the text", Json::Object().Set("text", TextOf(control)));
    }
    return Json::Object().Set("id", IdOf(control)).Set("text", TextOf(control));
}

Json CmdKey(Context& context, const Args& args)
{
    std::vector<UINT> keys;
    for (size_t i = 0; i < args.Count(); ++i) {
        keys.push_back(VirtualKeyOf(args.At(i)));
    }
    HWND dialog = WindowOf(context, args);
    HWND target = nullptr;
    if (std::optional<std::string> to = args.Value("--to")) {
        target = FindControl(dialog, *to);
        RequireReachable(target);
        PostFocus(dialog, target);
    } else {
        // Keys go where the focus is, as a user's do.
        target = FocusOf(dialog);
        if (target == nullptr || (target != dialog && !IsChild(dialog, target))) {
            target = dialog;
        }
        if (!IsWindowEnabled(dialog)) {
            throw DriverError("window " + HandleText(dialog) +
                              " is disabled (a modal box is open over it), so it takes no keys");
        }
    }
    int posted = PostKeys(target, keys);
    Json names = Json::Array();
    for (size_t i = 0; i < args.Count(); ++i) {
        names.Push(args.At(i));
    }
    return Json::Object()
        .Set("keys", names)
        .Set("to", target == dialog ? Json() : Json(IdOf(target)))
        .Set("settled", Settle(target, posted));
}
