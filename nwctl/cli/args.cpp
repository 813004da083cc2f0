#include "cli/args.h"

#include <algorithm>
#include <string_view>

#include "cli/options.h"
#include "probe/probe_operands.h"

namespace {

constexpr char kPasswordRefused[] =
    "--password is refused: a password on the command line can be read by every user of this computer and stays "
    "in the shell's history. Set NW_PASSWORD, give --password-file FILE, or type it at the prompt. Nothing was sent";

// The row of `name` (an option's name or its alias); null for none.
const Option* FindOption(std::string_view name)
{
    for (const Option* option : option::kAll) {
        if (name == option->name() || (option->alias() && name == option->alias()))
            return option;
    }
    return nullptr;
}

// Whether `command` takes `option`: every command with formats takes
// --format.
bool CommandTakes(const CommandEntry* command, const Option* option)
{
    if (!command)
        return false;
    if (option == &option::kFormat)
        return command->formats.size() > 0;
    return std::any_of(command->options.begin(), command->options.end(), [option](const auto& group) {
        return std::find(group.begin(), group.end(), option) != group.end();
    });
}

bool Refuse(std::string& error, const std::string& text)
{
    error = text;
    return false;
}

// A word that is not an option: the command's operand, or one more value of
// the option before it that takes several.
bool Operand(const std::string& word, Invocation& inv, std::string& error)
{
    const std::string command = inv.command->word;
    switch (inv.command->operands) {
        case Operands::OneMac:
        case Operands::Macs: {
            if (inv.command->operands == Operands::OneMac && !inv.macs.empty())
                return Refuse(error, command + " takes one MAC address; " + QuotedArgument(word) + " is one too many");
            const auto mac = ParseMac(word);
            if (!mac)
                return Refuse(error, NotAMac(word));
            if (std::find(inv.macs.begin(), inv.macs.end(), *mac) != inv.macs.end())
                return Refuse(error, FormatMac(*mac) + " is named twice");
            inv.macs.push_back(*mac);
            return true;
        }
        case Operands::OneFile:
            if (!inv.file.empty())
                return Refuse(error, command + " takes one file; " + QuotedArgument(word) + " is one too many");
            inv.file = word;
            return true;
        case Operands::Addresses:
            return AddProbeOperand(word, inv.addresses, error);
        case Operands::None:
            break;
    }
    return Refuse(error, command + " takes no " + QuotedArgument(word));
}

// What the command needs once every word is read.
bool Complete(const Invocation& inv, std::string& error)
{
    if (inv.help || inv.version)
        return true;
    const CommandEntry& command = *inv.command;
    if (command.missing && inv.macs.empty() && inv.file.empty() && inv.addresses.empty())
        return Refuse(error, std::string(command.word) + " needs " + command.missing);
    return !command.check || command.check(inv, error);
}

}  // namespace

bool AnySettingGiven(const Invocation& invocation)
{
    return invocation.ip || invocation.mask || invocation.gateway || invocation.dns ||
           std::any_of(invocation.change.begin(), invocation.change.end(),
                       [](const auto& value) { return value.has_value(); });
}

bool ParseArguments(const std::vector<std::string>& args, const CommandTable& commands, Invocation& invocation,
                    std::string& error)
{
    invocation = Invocation{};
    std::size_t at = 0;
    bool optionsEnd = false;
    // The option whose values the words that follow are (--audit LOG...,
    // so that a shell pattern gives it every log); null for none.
    const Option* gathering = nullptr;
    if (at < args.size() && args[at].rfind("-", 0) != 0) {
        for (const CommandEntry* command : commands) {
            if (args[at] == command->word)
                invocation.command = command;
        }
        if (invocation.command && invocation.command->formats.size() > 0)
            invocation.format = *invocation.command->formats.begin();
        if (!invocation.command)
            return Refuse(error, "no command " + QuotedArgument(args[at]) + "; the commands are " +
                                     Listed(
                                         commands, [](const CommandEntry* command) { return command->word; }, "and"));
        ++at;
    }
    for (; at < args.size(); ++at) {
        const std::string& word = args[at];
        if (optionsEnd || word.size() < 2 || word[0] != '-') {
            if (!invocation.command)
                return Refuse(error, "give a command first, such as nwctl search");
            const bool taken = gathering
                                   ? gathering->Apply({gathering->name(), *invocation.command}, word, invocation, error)
                                   : Operand(word, invocation, error);
            if (!taken)
                return false;
            continue;
        }
        if (word == "--") {
            optionsEnd = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (name == "--password")
            return Refuse(error, kPasswordRefused);
        if (name == "--help" || name == "-h") {
            invocation.help = true;
            continue;
        }
        if (name == "--version" && !invocation.command) {
            invocation.version = true;
            continue;
        }
        const Option* option = FindOption(name);
        if (!option || !CommandTakes(invocation.command, option))
            return Refuse(error, (invocation.command ? std::string(invocation.command->word) + " has no option "
                                                     : std::string("no option ")) +
                                     QuotedArgument(name));
        std::string value;
        if (option->takes() != Takes::Nothing) {
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (at + 1 < args.size()) {
                value = args[++at];
            } else {
                return Refuse(error, name + " needs a value");
            }
        } else if (equals != std::string::npos) {
            return Refuse(error, name + " takes no value");
        }
        if (!option->Apply({option->name(), *invocation.command}, value, invocation, error))
            return false;
        gathering = option->takes() == Takes::Values ? option : nullptr;
    }
    if (!invocation.command && !invocation.help && !invocation.version)
        return Refuse(error, "give a command, such as nwctl search (nwctl --help lists them)");
    return Complete(invocation, error);
}
