// JSON values for the driver's answers. Text is the target's ANSI text,
// written in ASCII (json_text.h): every byte from 0x7F up as \u00XX, so the
// bytes come back exactly (a reader decodes each escape as one byte, then
// applies the ANSI code page).
#pragma once

#include <concepts>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class Json {
public:
    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : kind_(Kind::Bool), bool_(value) {}
    template <std::integral T>
    requires(!std::same_as<T, bool>) Json(T value) : kind_(Kind::Number), number_(static_cast<long long>(value)) {}
    Json(const char* text) : kind_(Kind::String), string_(text) {}
    Json(std::string text) : kind_(Kind::String), string_(std::move(text)) {}

    static Json Object();
    static Json Array();

    // Adds or replaces a member of an object.
    Json& Set(const std::string& key, Json value);
    // Appends an item to an array.
    Json& Push(Json value);
    // Copies every member of another object into this one.
    Json& Merge(const Json& other);

    bool IsNull() const { return kind_ == Kind::Null; }
    bool IsObject() const { return kind_ == Kind::Object; }
    std::string Dump() const;

private:
    enum class Kind { Null, Bool, Number, String, Array, Object };
    void DumpTo(std::string& out) const;

    Kind kind_ = Kind::Null;
    bool bool_ = false;
    long long number_ = 0;
    std::string string_;
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> members_;
};
