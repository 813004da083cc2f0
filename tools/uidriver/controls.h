// The controls of a dialog of the target: finding one, and reading what a
// user sees of it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::string ClassOf(HWND window);
// A top-level window's caption, read from the system without a message, so
// that a busy target cannot hold it up.
std::string CaptionOf(HWND window);
// The control's id as the system reports it; a template's -1 may read as
// 65535 (classic templates) or -1 (extended ones).
int IdOf(HWND control);
// The text a control shows (WM_GETTEXT), password edits included; none for
// a static that shows an image (its text names the image's resource).
std::string TextOf(HWND control);
// Direct children of the dialog, in creation order, which is the
// template's order and the tab order.
std::vector<HWND> ControlsOf(HWND dialog);

// A control given by its id ("1000", "0x3E8", "-1") or by its text
// ("text=Save"; '&' and letter case are ignored). Throws DriverError when
// there is none, UsageError when the reference is malformed.
HWND FindControl(HWND dialog, const std::string& reference);
// "control 1000 (\"Search\")": how a control is named in errors.
std::string ControlName(HWND control);

std::string WithoutAmpersands(const std::string& text);
bool IsPushButton(HWND control);
bool IsIconStatic(HWND control);
bool IsImageStatic(HWND control);

// Why a user could not work the control now (hidden, disabled, or its
// window disabled behind a modal box); empty when a user could.
std::string WhyUnreachable(HWND control);
// Throws DriverError with that reason.
void RequireReachable(HWND control);
