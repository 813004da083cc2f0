// The steps of the viewer components' removal on this computer. They keep no
// state: each asks Windows afresh and writes its debug traces.
#pragma once

#include <windows.h>

#include <string>

// Ends every process that has a module of exactly this name loaded. False
// when the running processes could not be looked at.
bool CloseProcessesWithModule(const std::string& processName);
bool ProcessHasModule(DWORD processId, const std::string& moduleName);

// Unregisters each component with the system's regsvr32.
void UnregisterViewerControls();

// Deletes the components' files from the system directory.
void DeleteViewerFiles();
