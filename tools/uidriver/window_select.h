// The WINDOW words of the commands: which window of the program is meant.
//   main          the main window (found by its caption)
//   msgbox        the open message box (the enabled one if several)
//   about         the about box (found by its caption)
//   wait          the wait box: a dialog with static texts only, shown or hidden
//   caption=TEXT  any top-level window of the program with that caption
#pragma once

#include <windows.h>

#include <string>

#include "target.h"

// Throws UsageError for a word that names no kind of window.
void CheckWindowSelector(const std::string& selector);
// "the message box": how the window is named in errors.
std::string SelectorName(const std::string& selector);
// The window as it is now, or nullptr; looks only for a program that is
// already known or whose main window exists now.
HWND FindSelectedNow(Target& target, const std::string& selector);
// The window; waits for the program (not for the window) up to the time
// limit, then throws DriverError naming what is missing.
HWND RequireSelected(Target& target, const std::string& selector);
