#include "user_input.h"

#include "messages.h"

namespace {

// The messages of one action, posted as the header describes.
class InputPoster {
public:
    explicit InputPoster(HWND window) : window_(window) {}

    void Add(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (gone_) {
            return;
        }
        if (count_ == 0) {
            Post(window_, message, wParam, lParam);
        } else if (!PostUnlessGone(window_, message, wParam, lParam)) {
            gone_ = true;
            return;
        }
        ++count_;
    }
    int Count() const { return count_; }

private:
    HWND window_;
    int count_ = 0;
    bool gone_ = false;
};

}  // namespace

int PostMouseClick(HWND window, POINT client, bool doubleClick)
{
    LPARAM at = MAKELPARAM(client.x, client.y);
    InputPoster input(window);
    input.Add(WM_MOUSEMOVE, 0, at);
    input.Add(WM_LBUTTONDOWN, MK_LBUTTON, at);
    input.Add(WM_LBUTTONUP, 0, at);
    if (doubleClick) {
        input.Add(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        input.Add(WM_LBUTTONUP, 0, at);
    }
    return input.Count();
}

POINT MiddleOf(HWND control)
{
    RECT rect = {};
    GetClientRect(control, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void PostFocus(HWND dialog, HWND control)
{
    Post(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

int PostKeys(HWND window, const std::vector<UINT>& virtualKeys)
{
    InputPoster input(window);
    for (UINT key : virtualKeys) {
        UINT scanCode = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
        bool extended = key == VK_DELETE || key == VK_INSERT || key == VK_HOME || key == VK_END || key == VK_PRIOR ||
                        key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN);
        LPARAM down = 1 | (static_cast<LPARAM>(scanCode & 0xFF) << 16) | (extended ? (1L << 24) : 0);
        // Key-up messages carry the previous-state and transition bits.
        LPARAM up = down | static_cast<LPARAM>(0xC0000000UL);
        input.Add(WM_KEYDOWN, key, down);
        input.Add(WM_KEYUP, key, up);
    }
    return input.Count();
}

int PostChars(HWND window, const std::string& text)
{
    InputPoster input(window);
    for (char c : text) {
        input.Add(WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    return input.Count();
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

bool Settle(HWND window, int posted)
{
    // Two rounds more than messages: the first WM_NULL may be answered
    // before the thread takes the first posted message, and a handler that
    // peeks at its queue may answer one more early.
    for (int round = 0; round < posted + 2; ++round) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kSendLimitMs, &result) == 0) {
            return !IsWindow(window);
        }
    }
    return true;
}
