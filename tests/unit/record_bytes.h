// Building device records byte by byte, the way a device may send them:
// texts that fill their field without a NUL, and bytes after a NUL that mean
// nothing but must stay where they are.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "discovery_data.h"

// A record with every byte set to `byte`, so that a reader running past a
// field's end picks up something visible.
inline DISCOVERY_DATA FilledRecord(unsigned char byte)
{
    DISCOVERY_DATA record;
    std::memset(&record, byte, sizeof record);
    return record;
}

// Puts `bytes` at the start of `field`; a NUL follows when there is room.
// Embedded NULs are copied as they are, and the field's bytes after the
// copy keep what they held.
template <std::size_t N>
void PutField(char (&field)[N], std::string_view bytes)
{
    const std::size_t length = std::min(bytes.size(), N);
    std::copy_n(bytes.begin(), length, field);
    if (length < N)
        field[length] = '\0';
}

// The literal text rule, written out independently of the program's reader:
// the bytes up to the first NUL, or the whole field.
template <std::size_t N>
std::string LiteralText(const char (&field)[N])
{
    return std::string(field, std::find(field, field + N, '\0'));
}

inline bool SameBytes(const DISCOVERY_DATA& first, const DISCOVERY_DATA& second)
{
    return std::memcmp(&first, &second, sizeof first) == 0;
}
