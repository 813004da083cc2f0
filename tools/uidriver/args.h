// The words after a command's name: positional arguments and --options.
// A word "--" ends the options, so that a text beginning with "--" can be
// given after it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct OptionSpec {
    const char* name;  // with its leading "--"
    bool takesValue;
};

class Args {
public:
    // Throws UsageError for an option the command does not take.
    Args(const std::vector<std::string>& words, const std::vector<OptionSpec>& allowed);

    size_t Count() const { return positional_.size(); }
    const std::string& At(size_t index) const { return positional_.at(index); }
    std::optional<std::string> Value(const std::string& name) const;
    bool Flag(const std::string& name) const;

private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> options_;
};

// A decimal or 0x-hexadecimal integer; throws UsageError naming what.
long long ParseInteger(const std::string& text, const std::string& what);
// A non-negative count of milliseconds.
DWORD ParseMilliseconds(const std::string& text);
