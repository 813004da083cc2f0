// nwctl's command line: which command, and everything it needs, checked
// before anything is opened or sent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_entry.h"
#include "device/device_output.h"
#include "device/mac.h"
#include "device/setting_names.h"

struct Invocation {
    const CommandEntry* command = nullptr;  // none before the command's word
    bool help = false;                      // --help: the command's, or the program's without one
    bool version = false;                   // --version

    std::string adapter;  // NAME, ADDRESS or "all"; empty: the first adapter
    int rounds = 5;       // search requests, a second apart
    OutputFormat format = OutputFormat::Table;
    bool loopback = false;  // adapters: list the loopback adapter too

    // search --columns, as positions in kFieldNames (empty: the format's
    // own), and --wide: every field in the table.
    std::vector<std::size_t> columns;
    bool wide = false;

    std::vector<MacAddress> macs;  // set: one; reboot and reset: one or more
    SettingsChange change;         // set; plan --assign: mask, gateway, dns
    std::optional<std::string> user;
    std::optional<std::string> passwordFile;
    double timeoutSeconds = 5;  // for each device's answer to a Save
    bool yes = false;           // send without asking
    // set, plan: take an address that could not be probed as free
    bool unprobedOk = false;

    std::string file;  // plan, check
    bool apply = false;
    std::optional<std::uint32_t> assignFirst;
    std::string product;
    std::optional<std::int32_t> minFirmwareDate;

    // report
    std::optional<std::string> inventory;
    std::vector<std::string> audits;
    std::string site;
    std::string output;                      // -o
    double intervalSeconds = 5;              // watch: from the start of one search to the next
    std::optional<std::uint32_t> defaultIp;  // watch: the address of a device after a factory reset

    std::vector<std::uint32_t> addresses;  // probe: every address its operands name
};

// `args` without the program's name, the command's word one of `commands`.
// False with `error` on anything it cannot take; a password given on the
// command line is refused.
bool ParseArguments(const std::vector<std::string>& args, const CommandTable& commands, Invocation& invocation,
                    std::string& error);

// The rules of set's and plan's command lines beyond their options and
// operands, for their entries in the command table.
bool CheckSetArguments(const Invocation& invocation, std::string& error);
bool CheckPlanArguments(const Invocation& invocation, std::string& error);
bool CheckReportArguments(const Invocation& invocation, std::string& error);
