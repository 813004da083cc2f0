// The debug traces the web-viewer components' removal writes on the way,
// one for every component it unregisters or fails to, and for every file it
// deletes, fails to delete or does not find.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::string UnregisterStartedTrace(std::string_view control);

// The code of the failure-trace table for a start that failed with the
// system error `error`, as WinExec reports it: out of memory 0, a file that
// is no program 11, a file or path not found 2 or 3; other errors keep
// their own codes, which have no trace.
unsigned StartFailureCode(unsigned long error);
// The trace for a command that could not be started; codes without a text
// of their own get none.
std::optional<std::string> ExecFailureTrace(std::string_view control, unsigned execResult);

std::string FileDeletedTrace(std::string_view file);
std::string FileDeleteFailedTrace(std::string_view file);
std::string FileMissingTrace(std::string_view file);
