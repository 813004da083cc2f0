#include "message_box.h"

#include <cctype>
#include <vector>

#include "ansi_text.h"
#include "controls.h"
#include "errors.h"
#include "icon_kind.h"
#include "wait.h"

namespace {

constexpr int kTextId = 0xFFFF;

bool IsTextStatic(HWND control)
{
    return ClassOf(control) == "Static" && !IsImageStatic(control) && (IdOf(control) == kTextId || IdOf(control) == -1);
}

std::vector<HWND> VisibleButtons(HWND box)
{
    std::vector<HWND> buttons;
    for (HWND control : ControlsOf(box)) {
        if (IsPushButton(control) && IsWindowVisible(control)) {
            buttons.push_back(control);
        }
    }
    return buttons;
}

Json ButtonsJson(HWND box)
{
    Json buttons = Json::Array();
    for (HWND button : VisibleButtons(box)) {
        buttons.Push(Json::Object().Set("id", IdOf(button)).Set("text", TextOf(button)));
    }
    return buttons;
}

}  // namespace

bool LooksLikeMessageBox(HWND window)
{
    if (ClassOf(window) != "#32770" || VisibleButtons(window).empty()) {
        return false;
    }
    for (HWND control : ControlsOf(window)) {
        if (IsTextStatic(control)) {
            return true;
        }
    }
    return false;
}

Json DescribeMessageBox(HWND box, DWORD waitIconMs)
{
    std::string caption = CaptionOf(box);
    std::string text;
    HWND iconStatic = nullptr;
    for (HWND control : ControlsOf(box)) {
        if (IsTextStatic(control) && text.empty()) {
            text = TextOf(control);
        } else if (IsIconStatic(control) && iconStatic == nullptr) {
            iconStatic = control;
        }
    }
    // A box that has just opened may not have painted its icon yet.
    std::string icon;
    WaitUntil(waitIconMs, [&] { return (icon = IconKindOf(iconStatic)) != "unknown"; });
    return Json::Object().Set("caption", caption).Set("text", text).Set("buttons", ButtonsJson(box)).Set("icon", icon);
}

HWND MessageBoxButton(HWND box, const std::string& which)
{
    bool byId = !which.empty() && std::isdigit(static_cast<unsigned char>(which[0]));
    for (HWND button : VisibleButtons(box)) {
        if (byId ? std::to_string(IdOf(button)) == which
                 : SameIgnoringCase(WithoutAmpersands(TextOf(button)), WithoutAmpersands(which))) {
            return button;
        }
    }
    throw DriverError("the message box has no button \"" + which + "\"",
                      Json::Object().Set("buttons", ButtonsJson(box)));
}
