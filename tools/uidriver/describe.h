// What a user sees of a window and its controls, as JSON.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "dialog_units.h"
#include "json.h"

// One control: id, class, text, visible, enabled, checked (check boxes and
// radio buttons, else null), focused, style bits, rectangle in client
// pixels of its dialog and in dialog units (null when they are not known).
Json DescribeControl(HWND control, const std::optional<DialogUnits>& units);
// The window: handle, caption, class, visible, enabled, screen rectangle,
// client size (pixels and dialog units), its template and base units when
// known, and, when asked, every control.
Json DescribeWindow(HWND window, const std::string& executable, bool withControls);
// A short form: handle, caption, visible, enabled.
Json BriefWindow(HWND window);
