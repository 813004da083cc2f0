#include "window_select.h"

#include <vector>

#include "controls.h"
#include "errors.h"
#include "message_box.h"

namespace {

const std::string kCaptionPrefix = "caption=";

bool LooksLikeWaitBox(HWND window)
{
    std::vector<HWND> controls = ControlsOf(window);
    if (ClassOf(window) != "#32770" || controls.empty()) {
        return false;
    }
    for (HWND control : controls) {
        if (ClassOf(control) != "Static") {
            return false;
        }
    }
    return true;
}

// The first window that passes the test, preferring one that also passes
// the preference.
template <typename Test, typename Preference>
HWND Pick(const std::vector<HWND>& windows, Test test, Preference preferred)
{
    HWND first = nullptr;
    for (HWND window : windows) {
        if (!test(window)) {
            continue;
        }
        if (preferred(window)) {
            return window;
        }
        if (first == nullptr) {
            first = window;
        }
    }
    return first;
}

HWND Select(Target& target, const std::string& selector, const std::vector<HWND>& windows)
{
    const Settings& settings = target.GetSettings();
    HWND main = target.FindMainWindowNow();
    auto isVisible = [](HWND window) { return IsWindowVisible(window) != FALSE; };
    if (selector == "msgbox") {
        // The about box looks like a message box; its caption tells it apart.
        return Pick(
            windows,
            [&](HWND window) {
                return window != main && IsWindowVisible(window) && CaptionOf(window) != settings.aboutCaption &&
                       LooksLikeMessageBox(window);
            },
            [](HWND window) { return IsWindowEnabled(window) != FALSE; });
    }
    if (selector == "wait") {
        return Pick(
            windows, [&](HWND window) { return window != main && LooksLikeWaitBox(window); }, isVisible);
    }
    std::string caption = selector == "about" ? settings.aboutCaption : selector.substr(kCaptionPrefix.size());
    return Pick(
        windows, [&](HWND window) { return ClassOf(window) != "IME" && CaptionOf(window) == caption; }, isVisible);
}

}  // namespace

void CheckWindowSelector(const std::string& selector)
{
    if (selector != "main" && selector != "msgbox" && selector != "about" && selector != "wait" &&
        selector.compare(0, kCaptionPrefix.size(), kCaptionPrefix) != 0) {
        throw UsageError("unknown window \"" + selector + "\"; windows are main, msgbox, about, wait, caption=TEXT");
    }
}

std::string SelectorName(const std::string& selector)
{
    if (selector == "main") {
        return "the main window";
    }
    if (selector == "msgbox") {
        return "a message box";
    }
    if (selector == "about") {
        return "the about box";
    }
    if (selector == "wait") {
        return "the wait box";
    }
    return "a window with the caption \"" + selector.substr(kCaptionPrefix.size()) + "\"";
}

HWND FindSelectedNow(Target& target, const std::string& selector)
{
    CheckWindowSelector(selector);
    if (selector == "main") {
        return target.FindMainWindowNow();
    }
    return Select(target, selector, target.Windows(0));
}

HWND RequireSelected(Target& target, const std::string& selector)
{
    CheckWindowSelector(selector);
    if (selector == "main") {
        return target.MainWindow();
    }
    HWND window = Select(target, selector, target.Windows(target.GetSettings().timeoutMs));
    if (window == nullptr) {
        throw DriverError(selector == "msgbox" ? "no message box is open" : SelectorName(selector) + " is not open");
    }
    return window;
}
