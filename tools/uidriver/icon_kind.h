// Which standard icon a static control shows. Icon handles belong to one
// process under Wine (the target's handle means nothing here), so the
// driver compares what is on the screen with its own drawing of each
// standard icon.
#pragma once

#include <windows.h>

#include <string>

// "exclamation", "question", "information", "error", "none" (no icon
// shown) or "unknown" (an icon that matches none of them, or one not yet
// painted or covered by another window).
std::string IconKindOf(HWND iconStatic);
