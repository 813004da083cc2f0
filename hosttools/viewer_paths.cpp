#include "viewer_paths.h"

namespace {

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
        return {
            std::nullopt,
            std::string("System Directory : not an absolute path < ").append(text).append(" > [ No File Deleted ]")};
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
    return std::string(directory).append(driveRoot ? "" : "\\").append(file);
}
