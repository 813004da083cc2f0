// State that the whole program shares, apart from the main dialog's members.
#pragma once

#include <atomic>
#include <optional>
#include <string>

// Set on the UI thread when a search is accepted, cleared by its worker as
// its last act (or when its start fails).
extern std::atomic<bool> searchInProgress;
// MAC text of the device whose row was clicked last.
extern std::string selectedMac;
// MAC text of the device the last Save went to while its answer is awaited;
// none otherwise. (A device may have an empty MAC text, so empty cannot mean
// "none".)
extern std::optional<std::string> pendingApplyMac;
