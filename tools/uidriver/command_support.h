// What the commands share: the driver's state, and reading the arguments
// that name windows, controls, rows and time limits.
#pragma once

#include <windows.h>

#include <string>

#include "args.h"
#include "json.h"
#include "settings.h"
#include "target.h"

struct Context {
    Settings& settings;
    Target& target;
};

inline const OptionSpec kInOption = {"--in", true};
inline const OptionSpec kTimeoutOption = {"--timeout", true};

// --timeout MS, else the driver's time limit.
DWORD TimeoutOf(const Context& context, const Args& args);
// The window named by --in WINDOW, else the main window.
HWND WindowOf(Context& context, const Args& args);
// The control named by positional argument `index`, in WindowOf.
HWND ControlOf(Context& context, const Args& args, size_t index);
// A non-negative number (a row, a column) from a positional argument.
int NumberArg(const Args& args, size_t index, const std::string& what);
// Throws TimeoutError "timed out after N ms waiting for WHAT".
[[noreturn]] void ThrowTimeout(const std::string& what, DWORD timeoutMs, Json seen);
