// Whether a byte starts a double-byte character in the system's ANSI code
// page: what the portable text rules ask of the platform.
#pragma once

#include <windows.h>

inline bool IsAnsiLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}
