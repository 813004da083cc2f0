#include "controls.h"

#include "ansi_text.h"
#include "args.h"
#include "errors.h"
#include "messages.h"

std::string ClassOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string CaptionOf(HWND window)
{
    char caption[512] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

int IdOf(HWND control)
{
    return GetDlgCtrlID(control);
}

namespace {

std::string GetText(HWND control, LRESULT length)
{
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
    return text;
}

bool SameId(int id, long long wanted)
{
    // A template's -1 reads as 65535 or -1 depending on the template kind.
    if (wanted == -1 || wanted == 0xFFFF) {
        return id == -1 || id == 0xFFFF;
    }
    return id == wanted;
}

}  // namespace

std::string TextOf(HWND control)
{
    LRESULT length = IsImageStatic(control) ? 0 : Send(control, WM_GETTEXTLENGTH);
    if (length <= 0) {
        return "";
    }
    std::string text = GetText(control, length);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (!text.empty() || (style & ES_PASSWORD) == 0 || ClassOf(control) != "Edit") {
        return text;
    }
    // Windows answers WM_GETTEXT from another process with nothing for a
    // password edit; without its mask character the edit answers normally.
    auto mask = static_cast<WPARAM>(Send(control, EM_GETPASSWORDCHAR));
    Send(control, EM_SETPASSWORDCHAR, 0);
    text = GetText(control, length);
    Send(control, EM_SETPASSWORDCHAR, mask);
    return text;
}

std::vector<HWND> ControlsOf(HWND dialog)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back(child);
    }
    return controls;
}

HWND FindControl(HWND dialog, const std::string& reference)
{
    const std::string textPrefix = "text=";
    if (reference.compare(0, textPrefix.size(), textPrefix) == 0) {
        std::string wanted = WithoutAmpersands(reference.substr(textPrefix.size()));
        for (HWND control : ControlsOf(dialog)) {
            if (SameIgnoringCase(WithoutAmpersands(TextOf(control)), wanted)) {
                return control;
            }
        }
        throw DriverError("no control with the text \"" + wanted + "\" in window " + HandleText(dialog));
    }
    long long id = ParseInteger(reference, "a control (an id, or text=TEXT)");
    for (HWND control : ControlsOf(dialog)) {
        if (SameId(IdOf(control), id)) {
            return control;
        }
    }
    throw DriverError("no control with the id " + std::to_string(id) + " in window " + HandleText(dialog));
}

std::string ControlName(HWND control)
{
    std::string text = WithoutAmpersands(TextOf(control));
    std::string name = "control " + std::to_string(IdOf(control));
    return text.empty() ? name : name + " (\"" + text + "\")";
}

std::string WithoutAmpersands(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        // "&&" shows one ampersand.
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

bool IsPushButton(HWND control)
{
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return ClassOf(control) == "Button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

bool IsIconStatic(HWND control)
{
    return ClassOf(control) == "Static" && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

bool IsImageStatic(HWND control)
{
    LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
    return ClassOf(control) == "Static" && (type == SS_ICON || type == SS_BITMAP || type == SS_ENHMETAFILE);
}

std::string WhyUnreachable(HWND control)
{
    if (!IsWindowVisible(control)) {
        return ControlName(control) + " is not visible";
    }
    if (!IsWindowEnabled(control)) {
        return ControlName(control) + " is disabled";
    }
    HWND window = GetAncestor(control, GA_ROOT);
    if (window != nullptr && !IsWindowEnabled(window)) {
        return "the window of " + ControlName(control) + " is disabled (a modal box is open over it)";
    }
    return "";
}

void RequireReachable(HWND control)
{
    std::string why = WhyUnreachable(control);
    if (!why.empty()) {
        throw DriverError(why + ", so a user could not work it");
    }
}
