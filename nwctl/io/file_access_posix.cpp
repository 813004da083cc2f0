// File permissions on Linux: the mode bits.
#include <sys/stat.h>

#include "io/file_access.h"

std::optional<unsigned> PermissionsOpenToOthers(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || (status.st_mode & (S_IRWXG | S_IRWXO)) == 0)
        return std::nullopt;
    return static_cast<unsigned>(status.st_mode & 07777);
}
