#include "messages.h"

#include <cstdio>

#include "errors.h"

namespace {

std::string MessageText(UINT message)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", message);
    return text;
}

LRESULT SendThrough(bool wide, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    LRESULT sent = wide ? SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendLimitMs, &result)
                        : SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendLimitMs, &result);
    if (sent == 0) {
        DWORD error = GetLastError();
        if (!IsWindow(window)) {
            throw DriverError("window " + HandleText(window) + " is gone");
        }
        throw DriverError("window " + HandleText(window) + " did not answer message " + MessageText(message) +
                          " within " + std::to_string(kSendLimitMs) + " ms (" + SystemErrorText(error) + ")");
    }
    return static_cast<LRESULT>(result);
}

}  // namespace

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendThrough(false, window, message, wParam, lParam);
}

LRESULT SendWide(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendThrough(true, window, message, wParam, lParam);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!PostUnlessGone(window, message, wParam, lParam)) {
        throw DriverError("window " + HandleText(window) + " is gone");
    }
}

bool PostUnlessGone(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (PostMessageA(window, message, wParam, lParam)) {
        return true;
    }
    DWORD error = GetLastError();
    if (!IsWindow(window)) {
        return false;
    }
    throw DriverError("message " + MessageText(message) + " could not be posted to window " + HandleText(window) +
                      " (" + SystemErrorText(error) + ")");
}

std::string HandleText(HWND window)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

std::string SystemErrorText(DWORD code)
{
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.')) {
        text[--length] = '\0';
    }
    return "error " + std::to_string(code) + (length > 0 ? ": " + std::string(text) : "");
}
