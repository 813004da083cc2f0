// An option of nwctl's command line is one row: its name, whether it takes
// a value, the parser of that value and the field of the Invocation it
// goes into. A row is made only by MakeOption, which takes the field and
// its parser as one pair whose types must agree: an option without a
// parser, or with one for another type than its field's, does not compile.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

struct CommandEntry;
struct Invocation;

enum class Takes {
    Nothing,  // a flag: --yes
    Value,    // --rounds 3, --rounds=3
    Values,   // a value, and every word after it up to the next option
};

// Where a value is parsed: the option as the operator wrote it, for
// messages, and the command it was given to.
struct OptionUse {
    std::string_view name;
    const CommandEntry& command;
};

// Parses `value` ("" for a flag) into `into`; false with `error`.
template <typename Value>
using OptionParser = bool (*)(const OptionUse& use, std::string_view value, Value& into, std::string& error);

class Option;

// The row of option `name`, whose value `Parse` parses into the field
// `Field` of Invocation.
template <auto Field, auto Parse>
constexpr Option MakeOption(const char* name, Takes takes, const char* alias = nullptr);

class Option {
public:
    const char* name() const { return name_; }
    const char* alias() const { return alias_; }  // "-y" for --yes; null for none
    Takes takes() const { return takes_; }
    bool Apply(const OptionUse& use, std::string_view value, Invocation& invocation, std::string& error) const
    {
        return apply_(use, value, invocation, error);
    }

private:
    using Apply_ = bool (*)(const OptionUse&, std::string_view, Invocation&, std::string&);
    constexpr Option(const char* name, const char* alias, Takes takes, Apply_ apply)
        : name_(name), alias_(alias), takes_(takes), apply_(apply)
    {
    }
    template <auto Field, auto Parse>
    friend constexpr Option MakeOption(const char* name, Takes takes, const char* alias);

    const char* name_;
    const char* alias_;
    Takes takes_;
    Apply_ apply_;
};

template <typename Member>
struct InvocationField;
template <typename Value>
struct InvocationField<Value Invocation::*> {
    using Type = Value;
};

template <auto Field, auto Parse>
constexpr Option MakeOption(const char* name, Takes takes, const char* alias)
{
    using Value = typename InvocationField<decltype(Field)>::Type;
    static_assert(std::is_same_v<decltype(Parse), OptionParser<Value>>,
                  "an option's parser takes the type of the field its value goes into");
    static_assert(Parse != nullptr, "an option needs its parser");
    return Option(name, alias, takes,
                  [](const OptionUse& use, std::string_view value, Invocation& invocation, std::string& error) {
                      return Parse(use, value, invocation.*Field, error);
                  });
}
