// Messages to the target's windows. A sent message waits at most
// kSendLimitMs for the target, so that a hung target fails the command
// instead of hanging the driver. On a loaded machine a target that is
// merely slow may take seconds to answer, and a thread that has not taken
// a message for five seconds is not hung then: the limit is generous, and
// a sent message is never given up early (SMTO_ABORTIFHUNG).
#pragma once

#include <windows.h>

#include <string>

constexpr UINT kSendLimitMs = 30000;

// Throws DriverError when the window is gone or does not answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The same through the Unicode entry, for messages whose text Wine does not
// convert between processes (CB_GETLBTEXT).
LRESULT SendWide(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Throws DriverError when the message cannot be queued.
void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The same, but false instead of an error when the window is gone.
bool PostUnlessGone(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "0x0001004E": how windows are named in answers and errors.
std::string HandleText(HWND window);
// The text of a Win32 error code, for error messages.
std::string SystemErrorText(DWORD code);
