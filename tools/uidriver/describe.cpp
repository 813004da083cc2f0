#include "describe.h"

#include "controls.h"
#include "messages.h"
#include "user_input.h"

namespace {

Json PixelRect(const RECT& rect)
{
    return Json::Object()
        .Set("x", rect.left)
        .Set("y", rect.top)
        .Set("w", rect.right - rect.left)
        .Set("h", rect.bottom - rect.top);
}

const char* ButtonKind(LONG style)
{
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
            return "push button";
        case BS_DEFPUSHBUTTON:
            return "default push button";
        case BS_CHECKBOX:
            return "check box";
        case BS_AUTOCHECKBOX:
            return "auto check box";
        case BS_RADIOBUTTON:
            return "radio button";
        case BS_3STATE:
            return "3-state check box";
        case BS_AUTO3STATE:
            return "auto 3-state check box";
        case BS_GROUPBOX:
            return "group box";
        case BS_AUTORADIOBUTTON:
            return "auto radio button";
        case BS_OWNERDRAW:
            return "owner-drawn button";
        default:
            return "button";
    }
}

const char* StaticKind(LONG style)
{
    switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            return "text";
        case SS_ICON:
            return "icon";
        case SS_BITMAP:
        case SS_ENHMETAFILE:
            return "image";
        default:
            return "other";
    }
}

Json CheckedState(HWND control, LONG style)
{
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON: {
            LRESULT state = Send(control, BM_GETCHECK);
            if (state == BST_INDETERMINATE) {
                return "indeterminate";
            }
            return state == BST_CHECKED;
        }
        default:
            return nullptr;
    }
}

}  // namespace

Json DescribeControl(HWND control)
{
    LONG style = GetWindowLongA(control, GWL_STYLE);
    std::string className = ClassOf(control);
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);

    Json json = Json::Object()
                    .Set("id", IdOf(control))
                    .Set("hwnd", HandleText(control))
                    .Set("class", className)
                    .Set("text", TextOf(control))
                    .Set("visible", IsWindowVisible(control) != FALSE)
                    .Set("enabled", IsWindowEnabled(control) != FALSE)
                    .Set("checked", className == "Button" ? CheckedState(control, style) : Json())
                    .Set("focused", FocusOf(control) == control)
                    .Set("style", static_cast<unsigned long>(style))
                    .Set("exStyle", static_cast<unsigned long>(GetWindowLongA(control, GWL_EXSTYLE)))
                    .Set("rect", PixelRect(rect));
    if (className == "Button") {
        json.Set("kind", ButtonKind(style));
    } else if (className == "Static") {
        json.Set("kind", StaticKind(style));
    } else if (className == "Edit") {
        json.Set("password", (style & ES_PASSWORD) != 0).Set("readOnly", (style & ES_READONLY) != 0);
    }
    return json;
}

Json BriefWindow(HWND window)
{
    return Json::Object()
        .Set("hwnd", HandleText(window))
        .Set("caption", CaptionOf(window))
        .Set("visible", IsWindowVisible(window) != FALSE)
        .Set("enabled", IsWindowEnabled(window) != FALSE);
}

Json DescribeWindow(HWND window, bool withControls)
{
    RECT screen = {};
    GetWindowRect(window, &screen);
    RECT client = {};
    GetClientRect(window, &client);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);

    Json json = BriefWindow(window);
    json.Set("class", ClassOf(window))
        .Set("pid", static_cast<unsigned long>(pid))
        .Set("style", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)))
        .Set("exStyle", static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)))
        .Set("rect", PixelRect(screen))
        .Set("client", PixelRect(client));
    if (withControls) {
        Json controls = Json::Array();
        for (HWND control : ControlsOf(window)) {
            controls.Push(DescribeControl(control));
        }
        json.Set("controls", controls);
    }
    return json;
}
