// Deleting the viewer components' files from the system directory.
#include "debug_trace.h"
#include "viewer_paths.h"
#include "viewer_removal_order.h"
#include "viewer_steps.h"
#include "viewer_traces.h"
#include "windows_host.h"

void DeleteViewerFiles()
{
    const SystemDirectoryCheck system = ReadSystemDirectory();
    if (!system.directory) {
        DebugTrace("%s", system.refusalTrace.c_str());
        return;
    }

    // Each file is looked up by its exact path, never by a search pattern,
    // so nothing but these files can be deleted.
    for (const char* file : kViewerFiles) {
        const auto path = SystemFilePath(*system.directory, file);
        if (!path || ::GetFileAttributesA(path->c_str()) == INVALID_FILE_ATTRIBUTES) {
            DebugTrace("%s", FileMissingTrace(file).c_str());
            continue;
        }
        const bool deleted = ::DeleteFileA(path->c_str()) != FALSE;
        DebugTrace("%s", (deleted ? FileDeletedTrace(file) : FileDeleteFailedTrace(file)).c_str());
    }
}
