#include "crafted.h"

std::string CraftedDatagram::Bytes() const
{
    std::string bytes = raw ? *raw : std::string(reinterpret_cast<const char*>(&record), sizeof record);
    if (size)
        bytes.resize(*size, static_cast<char>(pad));
    return bytes;
}
