// The program being driven: its main window, found by exact caption, and
// through it the program's process, relative to which every other window
// (message boxes, the about box, the wait box) is found.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings.h"

class Target {
public:
    explicit Target(Settings& settings) : settings_(settings) {}
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    Settings& GetSettings() { return settings_; }

    // The main window, waiting up to timeoutMs for it to exist (it need not
    // be visible). Throws DriverError when none appears.
    HWND MainWindow(DWORD timeoutMs);
    HWND MainWindow() { return MainWindow(settings_.timeoutMs); }
    // The main window as it is now, or nullptr.
    HWND FindMainWindowNow();

    // The program's process: the one last found while it runs, else the
    // process of the main window (waiting for it as MainWindow does).
    DWORD ProcessId();
    // Whether the program last found still runs.
    bool Running() const;
    // Handle of the last program found (null if none), for waiting on its end.
    HANDLE Process() const { return process_; }
    // Path of the program's executable; empty when it cannot be had.
    std::string ImagePath() const;
    // The program's top-level windows, visible or not, topmost first. When
    // no running program is known, waits up to waitMs for the main window
    // (throwing DriverError if it does not come); with 0 the list is then empty.
    std::vector<HWND> Windows(DWORD waitMs);

private:
    void Adopt(HWND window);

    Settings& settings_;
    HWND main_ = nullptr;
    DWORD pid_ = 0;
    HANDLE process_ = nullptr;
};
