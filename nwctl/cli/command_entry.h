// What nwctl knows of a command: its word, what it takes, its help and the
// function that runs it. One table of them (command_table.cpp) drives the
// parsing of the command line, the dispatch and the help.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include "device/device_output.h"

struct Invocation;

// What follows a command's word, besides its options.
enum class Operands {
    None,
    OneMac,
    Macs,  // one or more
    OneFile,
    Addresses,  // one or more: addresses, ranges, networks
};

struct CommandEntry {
    const char* word;
    int (*run)(const Invocation& invocation);  // returns the exit status
    // Its lines in the program's list of commands, without their indent.
    const char* summary;
    const char* help;  // nwctl WORD --help
    Operands operands;
    // Ends "WORD needs ..." when no operand was given; null when none may be.
    const char* missing;
    // The options it takes, in groups that several commands share.
    std::initializer_list<std::initializer_list<const char*>> options;
    // What --format takes; empty when the command takes no --format.
    std::initializer_list<OutputFormat> formats;
    // Its own rule for the whole command line, once every word is read;
    // null for none.
    bool (*check)(const Invocation& invocation, std::string& error);
};

// The commands, in the order the program's help lists them.
class CommandTable {
public:
    template <std::size_t N>
    constexpr CommandTable(const CommandEntry (&entries)[N]) : begin_(entries), end_(entries + N)
    {
    }
    const CommandEntry* begin() const { return begin_; }
    const CommandEntry* end() const { return end_; }

private:
    const CommandEntry* begin_;
    const CommandEntry* end_;
};
