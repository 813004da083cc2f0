// Dialog units of a target window. MapDialogRect does not work on another
// process's window under Wine, so the driver finds the template the window
// was made from (same caption and number of controls, in the target's
// executable), makes a hidden dialog with that template's font in its own
// process, and maps the rectangle there: the same font on the same display
// gives the same base units.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "json.h"

struct DialogUnits {
    int templateId = -1;
    int baseX = 0;  // pixels per 4 horizontal dialog units
    int baseY = 0;  // pixels per 8 vertical dialog units
};

// nullopt when no template of the executable matches the window.
std::optional<DialogUnits> DialogUnitsOf(HWND dialog, const std::string& executable);

// {"x", "y", "w", "h"} of a pixel rectangle, in dialog units: for each
// value the unit count that the system maps to exactly that pixel count
// (rounded when none does).
Json ToDialogUnits(const RECT& pixels, const DialogUnits& units);
