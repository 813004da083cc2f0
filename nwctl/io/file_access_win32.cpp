// File permissions on Windows: access lists rather than mode bits, which
// nwctl does not judge.
#include "io/file_access.h"

std::optional<unsigned> PermissionsOpenToOthers(const std::string&)
{
    return std::nullopt;
}
