// JSON in: the lines nwctl wrote itself (audit logs), read back. Strings
// come back as the bytes JsonString took: a character up to U+00FF is that
// byte, any other its UTF-8 bytes. Numbers keep their text.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;  // a string's bytes, or a number as written
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;  // a repeated key keeps its last value

    // The member `key` of an object, or null when there is none.
    const JsonValue* Member(const std::string& key) const;
};

// One whole JSON text, blanks around it allowed. False with `error` (where
// and what) on anything else, or when arrays and objects nest deeper than
// kJsonDepth.
constexpr int kJsonDepth = 32;
bool ParseJson(std::string_view text, JsonValue& value, std::string& error);
