// Message boxes of the target. A message box is a dialog with push
// buttons and a static text whose id is 0xFFFF (Windows and Wine both give
// the text that id); the about box may look the same, so window_select
// tells them apart by caption. The "Please Wait..." box has no button.
#pragma once

#include <windows.h>

#include <string>

#include "json.h"

bool LooksLikeMessageBox(HWND window);
// {"caption", "text", "buttons": [{"id", "text"}], "icon"}; the icon is
// looked at until it matches a standard one or waitIconMs pass.
Json DescribeMessageBox(HWND box, DWORD waitIconMs);
// A visible button of the box, by id or by text ('&' and case ignored).
// Throws DriverError listing the buttons when there is none.
HWND MessageBoxButton(HWND box, const std::string& which);
