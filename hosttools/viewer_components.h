// What the removal of the web-viewer components ends, starts and deletes on
// the operator's computer, and the trace texts it writes on the way.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The confirmation asked before anything is ended or deleted. Its text is
// Korean, held in code page 949; where that code page cannot be converted,
// the English text with the same meaning is shown instead.
constexpr unsigned VIEWER_CONFIRMATION_CODE_PAGE = 949;
extern const std::string_view kViewerConfirmationCp949;
extern const char kViewerConfirmationFallback[];
extern const char kViewerConfirmationCaption[];

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

// GetSystemDirectoryA fills a zero-filled buffer of this size.
constexpr std::size_t SYSTEM_DIRECTORY_BUFFER = 260;

// The system directory as GetSystemDirectoryA gave it (its result and the
// text in the buffer), or, when it cannot be trusted to name the directory,
// the trace that says why no file is deleted. An empty or relative text
// would put the files' paths elsewhere (the root of the current drive), so
// only an absolute path is taken.
struct SystemDirectoryCheck {
    std::optional<std::string> directory;
    std::string refusalTrace;
};
SystemDirectoryCheck CheckSystemDirectory(std::string_view bufferText, unsigned apiResult);

// `file`'s path in `directory`. Null unless `file` is a plain file name:
// no separators, drive, wildcards or dot names, so the path can name only
// that one file of that directory.
std::optional<std::string> SystemFilePath(std::string_view directory, std::string_view file);

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

// The operation's outcome, kept in the dialog's status text, and the text
// of the box that ends every confirmed run: "Completed!", with the outcome
// on a second line when a process pass failed.
std::string RemovalOutcome(bool processPassesDone);
std::string RemovalDoneBoxText(std::string_view outcome);
