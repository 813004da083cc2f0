// What the operator reads of the web-viewer components' removal: the
// confirmation asked first, and the box that ends every confirmed run.
#pragma once

#include <string>
#include <string_view>

// The confirmation asked before anything is ended or deleted. Its text is
// Korean, held in code page 949; where that code page cannot be converted,
// the English text with the same meaning is shown instead.
constexpr unsigned VIEWER_CONFIRMATION_CODE_PAGE = 949;
extern const std::string_view kViewerConfirmationCp949;
extern const char kViewerConfirmationFallback[];
extern const char kViewerConfirmationCaption[];

// The operation's outcome, kept in the dialog's status text, and the text
// of the box that ends every confirmed run: "Completed!", with the outcome
// on a second line when a process pass failed.
std::string RemovalOutcome(bool processPassesDone);
std::string RemovalDoneBoxText(std::string_view outcome);
