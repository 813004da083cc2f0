#include "io/file_writing.h"

#include "io/safe_text.h"

std::string NotReplaced(FileKind kind, std::string_view linkTarget)
{
    switch (kind) {
        case FileKind::Missing:
        case FileKind::Regular:
            return {};
        case FileKind::ReadOnly:
            return "it is read-only";
        case FileKind::Folder:
            return "it is a folder, not a regular file";
        case FileKind::Link:
            return "it is a symbolic link" + (linkTarget.empty() ? std::string() : " to " + PathText(linkTarget)) +
                   ", not a regular file";
        case FileKind::Device:
            return "it is a device, not a regular file";
        case FileKind::Pipe:
            return "it is a named pipe, not a regular file";
        case FileKind::Socket:
            return "it is a socket, not a regular file";
        case FileKind::Other:
            break;
    }
    return "it is not a regular file";
}
