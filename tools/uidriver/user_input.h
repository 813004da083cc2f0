// Input as a user gives it, posted to the target's windows so that it goes
// through the target's own message loop (and IsDialogMessage there), the
// way real input does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Each Post function posts the messages of one user action in order and
// answers how many it posted. The first must reach the window (DriverError
// if not); when a later one finds the window gone, because the earlier ones
// closed it (Escape, a click on OK), the rest are dropped, as a user's
// input to a window that has gone would be.

// Mouse move, button down and up at a point in the window's client area;
// a double click adds the second down (WM_LBUTTONDBLCLK) and up.
int PostMouseClick(HWND window, POINT client, bool doubleClick);
// The middle of a control's client area.
POINT MiddleOf(HWND control);
// Moves the focus to a control the way the Tab key does (WM_NEXTDLGCTL),
// which also selects an edit's whole text.
void PostFocus(HWND dialog, HWND control);
// Keys pressed and released (WM_KEYDOWN, WM_KEYUP); the target's own
// TranslateMessage makes any WM_CHAR from them.
int PostKeys(HWND window, const std::vector<UINT>& virtualKeys);
// Characters as typed: one WM_CHAR per byte of ANSI text.
int PostChars(HWND window, const std::string& text);

// The control that has the focus in the window's thread, or nullptr.
HWND FocusOf(HWND window);

// Waits (best effort) until the window's thread has taken in the last
// `posted` messages posted to it: each answered WM_NULL shows the thread
// came back to its message loop once more. False if the thread did not
// answer within the driver's message time limit; true if the window is
// gone (the input ended it).
bool Settle(HWND window, int posted);
