#include "viewer_texts.h"

// "Internet explorer가 모두 종료됩니다. 진행하시겠습니까?" in code page 949.
const std::string_view kViewerConfirmationCp949 =
    "Internet explorer\xB0\xA1 \xB8\xF0\xB5\xCE \xC1\xBE\xB7\xE1\xB5\xCB\xB4\xCF\xB4\xD9. "
    "\xC1\xF8\xC7\xE0\xC7\xCF\xBD\xC3\xB0\xDA\xBD\xC0\xB4\xCF\xB1\xEE?";
const char kViewerConfirmationFallback[] = "All Internet Explorer windows will be closed. Proceed?";
const char kViewerConfirmationCaption[] = "UnInstall";

std::string RemovalOutcome(bool processPassesDone)
{
    return processPassesDone ? "Completed!" : "Process has shutdown failed.";
}

std::string RemovalDoneBoxText(std::string_view outcome)
{
    if (outcome == "Completed!")
        return std::string(outcome);
    return std::string("Completed!\n").append(outcome);
}
