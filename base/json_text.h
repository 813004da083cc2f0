// Texts in JSON, as every program here writes them: a device's text is
// bytes in no known encoding, so each byte becomes the character of the same
// number (U+0000 to U+00FF) and a reader gets the exact bytes back by
// encoding the string as Latin-1. Every control character, C1 ones
// included, is written as \u00XX, so that none reaches a terminal raw.
#pragma once

#include <string>
#include <string_view>

// How the characters U+00A0 to U+00FF are written.
enum class JsonBytes {
    Utf8,   // as themselves, in UTF-8: output that people read too (nwctl)
    Ascii,  // as \u00XX: output that stays ASCII (the simulator's log, the UI driver)
};

// `bytes` as a quoted JSON string.
std::string JsonString(std::string_view bytes, JsonBytes form = JsonBytes::Utf8);
