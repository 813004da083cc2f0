// The adapter box's entry for one adapter: "friendly name : address".
#pragma once

#include <cstddef>
#include <string>

// The entry text fits a buffer of this many bytes, its NUL included.
constexpr std::size_t ADAPTER_ENTRY_BUFFER = 256;

// `friendlyName` (ANSI text), " : " and `address`. A name too long for the
// buffer loses its end, whole characters at a time, so the address always
// shows.
std::string AdapterEntryText(const std::string& friendlyName, const std::string& address);
