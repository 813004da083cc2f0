// What a user sees of a window and its controls, as JSON.
#pragma once

#include <windows.h>

#include "json.h"

// One control: id, class, text, visible, enabled, checked (check boxes and
// radio buttons, else null), focused, style bits, rectangle in client
// pixels of its dialog.
Json DescribeControl(HWND control);
// The window: handle, caption, class, visible, enabled, screen rectangle,
// client rectangle and, when asked, every control.
Json DescribeWindow(HWND window, bool withControls);
// A short form: handle, caption, visible, enabled.
Json BriefWindow(HWND window);
