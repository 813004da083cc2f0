#include "program_state.h"

std::atomic<bool> searchInProgress{false};
std::string selectedMac;
std::optional<std::string> pendingApplyMac;
