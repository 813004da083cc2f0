// What the removal of the web-viewer components ends, starts and deletes on
// the operator's computer, and in which order.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

// Module names, one pass over the running processes each, in this order.
// They are compared exactly: other spellings of the name are left running.
extern const std::array<const char*, 2> kViewerProcessNames;

// The components unregistered, in this order.
extern const std::array<const char*, 10> kViewerControls;

// The files deleted from the system directory, in this order.
extern const std::array<const char*, 14> kViewerFiles;

// The system's regsvr32, started from the system directory by its full
// path: a search would look in the program's folder and the current folder
// first. Each run is waited for this long at most before the next step.
constexpr char REGSVR32_FILE[] = "regsvr32.exe";
constexpr unsigned long REGSVR32_WAIT_MS = 5000;

std::string UnregisterCommandLine(std::string_view control);

// What a confirmed removal does, step by step, as the dialog carries it out.
struct ViewerRemovalSteps {
    // Ends the processes with a module of that name; false when the running
    // processes could not be looked at.
    std::function<bool(const char* processName)> closeProcesses;
    std::function<void()> unregisterControls;
    std::function<void()> deleteFiles;
};

// Both passes over the processes, whatever the first gives; then the
// unregistering and the deletion, only when both passes could look at the
// processes (a browser left running would hold the files). Returns the
// outcome (RemovalOutcome).
std::string RunViewerRemoval(const ViewerRemovalSteps& steps);
