// The record's fields by name, so that settings, crafted datagrams and the
// log can treat every field alike instead of repeating its layout.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

enum class FieldKind {
    Text,    // text up to the first NUL or the field's end
    Number,  // unsigned little-endian integer of the field's width
    Bytes,   // opaque bytes (the password digest)
};

struct RecordField {
    const char* name;   // the record member's name
    const char* alias;  // a shorter name for command lines, or null
    std::size_t offset;
    std::size_t width;
    FieldKind kind;
};

// Every field of the record in wire order.
std::span<const RecordField> RecordFields();

// The field called `name` (its member name or alias), or null.
const RecordField* FindRecordField(std::string_view name);

// A Number field of `record`, least significant byte first.
std::uint32_t ReadNumberField(const unsigned char* record, const RecordField& field);

// Stores the low bytes of `value` in a Number field, least significant first.
void WriteNumberField(unsigned char* record, const RecordField& field, std::uint32_t value);

// Writes `bytes` into a field and zero-fills the rest of it. Text as long as
// the field or longer fills it with no NUL, as a careless firmware would;
// the excess is dropped.
void FillField(unsigned char* record, const RecordField& field, std::string_view bytes);

// FillField for a member of a record known at compile time.
template <std::size_t N>
void FillText(char (&field)[N], std::string_view text)
{
    const std::size_t length = std::min(text.size(), N);
    if (length > 0)  // an empty view may have no data pointer at all
        std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, N - length);
}
