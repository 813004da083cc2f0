// The only way the program reads or writes a text field of a record.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Longest text the program writes into a field from an edit box; the NUL
// follows it.
constexpr std::size_t TEXT_FIELD_MAX_TEXT = 31;

// The field's text: its bytes up to the first NUL, or the whole field when it
// holds none. Never reads past the field.
template <std::size_t N>
std::string ReadTextField(const char (&field)[N])
{
    const void* nul = std::memchr(field, '\0', N);
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N;
    return std::string(field, length);
}

// Writes at most 31 bytes of `text` (it ends at its first NUL, as a C string
// would) and a NUL; the field's bytes after that NUL keep what they held.
template <std::size_t N>
void WriteTextField(char (&field)[N], std::string_view text)
{
    static_assert(N > TEXT_FIELD_MAX_TEXT, "only fields of 32 bytes or more are written from edit boxes");
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    const std::size_t length = text.size() < TEXT_FIELD_MAX_TEXT ? text.size() : TEXT_FIELD_MAX_TEXT;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}
