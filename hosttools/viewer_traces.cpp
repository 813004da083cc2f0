#include "viewer_traces.h"

std::string UnregisterStartedTrace(std::string_view control)
{
    return std::string("Registry Delete : ").append(control).append(" [ Success ]");
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
    return std::string("Contol Name < ").append(control).append(reason);
}

std::string FileDeletedTrace(std::string_view file)
{
    return std::string("File Delete : ").append(file).append(" [ Success ]");
}

std::string FileDeleteFailedTrace(std::string_view file)
{
    return std::string("File Delete : ").append(file).append(" [ Fail ] ");
}

std::string FileMissingTrace(std::string_view file)
{
    return std::string("File Not Exist : ").append(file);
}
