#include "viewer_components.h"

// "Internet explorer가 모두 종료됩니다. 진행하시겠습니까?" in code page 949.
const std::string_view kViewerConfirmationCp949 =
    "Internet explorer\xB0\xA1 \xB8\xF0\xB5\xCE \xC1\xBE\xB7\xE1\xB5\xCB\xB4\xCF\xB4\xD9. "
    "\xC1\xF8\xC7\xE0\xC7\xCF\xBD\xC3\xB0\xDA\xBD\xC0\xB4\xCF\xB1\xEE?";
const char kViewerConfirmationFallback[] = "All Internet Explorer windows will be closed. Proceed?";
const char kViewerConfirmationCaption[] = "UnInstall";

const std::array<const char*, 2> kViewerProcessNames = {"iexplore.exe", "IEXPLORE.EXE"};

const std::array<const char*, 10> kViewerControls = {
    "KorvoViewer3.ocx",
    "KorvoViewer2.ocx",
    "KorvoViewer3_FileUpload.ocx",
    "KorvoViewer2_FileUpload.ocx",
    "PadSteer.ocx",
    "SiteChart.ocx",
    "SlideRail.ocx",
    "SiteChart3.ocx",
    "GlyphKey.ocx",
    "MSFLXGRD.OCX",
};

const std::array<const char*, 14> kViewerFiles = {
    "KorvoViewer3.ocx",
    "KorvoViewer2.ocx",
    "KorvoViewer2_FileUpload.ocx",
    "KorvoViewer3_FileUpload.ocx",
    "PadSteer.ocx",
    "SiteChart.ocx",
    "SlideRail.ocx",
    "SiteChart3.ocx",
    "GlyphKey.ocx",
    "FrameDecoder.dll",
    "MSFLXGRD.OCX",
    "ijl11.dll",
    "VB6STKIT.DLL",
    "LinkWatch.dll",
};

namespace {

std::string Joined(std::string_view before, std::string_view middle, std::string_view after)
{
    std::string text;
    text.reserve(before.size() + middle.size() + after.size());
    text.append(before).append(middle).append(after);
    return text;
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "C:\..." or "\\server\...": the forms that do not depend on the current
// drive or directory.
bool IsAbsolutePath(std::string_view path)
{
    if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\')
        return true;
    return path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

}  // namespace

std::string UnregisterCommandLine(std::string_view control)
{
    return Joined("regsvr32 /s /u ", control, "");
}

std::string UnregisterStartedTrace(std::string_view control)
{
    return Joined("Registry Delete : ", control, " [ Success ]");
}

unsigned StartFailureCode(unsigned long error)
{
    switch (error) {
        case 8:   // ERROR_NOT_ENOUGH_MEMORY
        case 14:  // ERROR_OUTOFMEMORY
            return 0;
        case 193:  // ERROR_BAD_EXE_FORMAT
            return 11;
        default:
            return static_cast<unsigned>(error);
    }
}

std::optional<std::string> ExecFailureTrace(std::string_view control, unsigned execResult)
{
    const char* reason = nullptr;
    switch (execResult) {
        case 0:
            reason = " > : The system is out of memory or resources.";
            break;
        case 11:
            reason = " > : The .exe file is invalid.";
            break;
        case 2:
            reason = " > : The specified file was not found.";
            break;
        case 3:
            reason = " > : The specified path was not found.";
            break;
        default:
            return std::nullopt;
    }
    return Joined("Contol Name < ", control, reason);
}

std::string FileDeletedTrace(std::string_view file)
{
    return Joined("File Delete : ", file, " [ Success ]");
}

std::string FileDeleteFailedTrace(std::string_view file)
{
    return Joined("File Delete : ", file, " [ Fail ] ");
}

std::string FileMissingTrace(std::string_view file)
{
    return Joined("File Not Exist : ", file, "");
}

SystemDirectoryCheck CheckSystemDirectory(std::string_view bufferText, unsigned apiResult)
{
    const std::string_view text = bufferText.substr(0, bufferText.find('\0'));
    if (apiResult == 0 || apiResult != text.size()) {
        // A result of the buffer's size or more is the size it would need.
        if (apiResult >= SYSTEM_DIRECTORY_BUFFER)
            return {std::nullopt, "System Directory : longer than 259 bytes [ No File Deleted ]"};
        return {std::nullopt, "System Directory : not available [ No File Deleted ]"};
    }
    if (!IsAbsolutePath(text))
        return {std::nullopt, Joined("System Directory : not an absolute path < ", text, " > [ No File Deleted ]")};
    return {std::string(text), {}};
}

std::optional<std::string> SystemFilePath(std::string_view directory, std::string_view file)
{
    if (file.empty() || file == "." || file == "..")
        return std::nullopt;
    for (const char c : file) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return std::nullopt;
    }
    // A drive's root ("C:\") already ends with the separator.
    const bool driveRoot = directory.size() == 3 && directory[1] == ':' && directory[2] == '\\';
    return Joined(directory, driveRoot ? "" : "\\", file);
}

std::string RunViewerRemoval(const ViewerRemovalSteps& steps)
{
    const bool firstPass = steps.closeProcesses(kViewerProcessNames[0]);
    const bool secondPass = steps.closeProcesses(kViewerProcessNames[1]);
    const bool passesDone = firstPass && secondPass;
    if (passesDone) {
        steps.unregisterControls();
        steps.deleteFiles();
    }
    return RemovalOutcome(passesDone);
}

std::string RemovalOutcome(bool processPassesDone)
{
    return processPassesDone ? "Completed!" : "Process has shutdown failed.";
}

std::string RemovalDoneBoxText(std::string_view outcome)
{
    if (outcome == "Completed!")
        return std::string(outcome);
    return Joined("Completed!\n", outcome, "");
}
