// The command line: what each command takes, and every bad argument refused
// with a message before anything is opened or sent.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command_table.h"
#include "cli/usage.h"

namespace {

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

struct Refusal {
    const char* line;
    const char* says;  // part of the message
};

TEST(Arguments, RefusedWithAReason)
{
    const Refusal cases[] = {
        {"", "give a command"},
        {"find",
         "no command \"find\"; the commands are search, adapters, set, reboot, reset, plan, check, report, watch "
         "and probe"},
        {"--rounds 3", "no option \"--rounds\""},
        {"search --rounds 0", "--rounds must be a whole number from 1 to 100, not \"0\""},
        {"search --rounds 101", "from 1 to 100"},
        {"search --rounds 2x", "not \"2x\""},
        {"search --rounds", "--rounds needs a value"},
        {"search --format xml", "--format must be table, csv or json"},
        {"check inv.csv --format csv", "--format must be table or json"},
        {"search --ip 1.2.3.4", "search has no option \"--ip\""},
        {"search extra", "search takes no \"extra\""},
        {"search --adapter=", "--adapter needs"},
        {"adapters --loopback=1", "--loopback takes no value"},
        {"set", "set needs the device's MAC address"},
        {"set 00:1A:2B:3C:4D:5E", "at least one setting"},
        {"set 00:1A:2B:3C:4D:5G --ip 1.2.3.4", "\"00:1A:2B:3C:4D:5G\" is not a MAC address"},
        {"set 00:1A:2B:3C:4D:5E 00:1A:2B:3C:4D:5F --ip 1.2.3.4", "set takes one MAC address"},
        {"set 00:1A:2B:3C:4D:5E --ip 1.2.3", "--ip must be a dotted IPv4 address such as 192.0.2.10, not \"1.2.3\""},
        {"set 00:1A:2B:3C:4D:5E --mask 255.255.255.256", "--mask must be a dotted IPv4 address"},
        {"set 00:1A:2B:3C:4D:5E --gateway ::1", "--gateway must be"},
        {"set 00:1A:2B:3C:4D:5E --dns=", "--dns must be"},
        {"set 00:1A:2B:3C:4D:5E --web-port 65536", "--web-port must be a whole number from 0 to 65535, not \"65536\""},
        {"set 00:1A:2B:3C:4D:5E --audio-receive-port -1", "--audio-receive-port must be"},
        {"set 00:1A:2B:3C:4D:5E --video-port 80.5", "--video-port must be"},
        {"set 00:1A:2B:3C:4D:5E --dhcp --static", "exclude each other"},
        {"set 00:1A:2B:3C:4D:5E --ip 1.2.3.4 --timeout 0", "--timeout must be seconds"},
        {"set 00:1A:2B:3C:4D:5E --ip 1.2.3.4 --timeout 3601", "--timeout must be seconds"},
        {"set 00:1A:2B:3C:4D:5E --ip 1.2.3.4 --timeout 1.", "--timeout must be seconds"},
        {"set 00:1A:2B:3C:4D:5E --ip 1.2.3.4 --timeout -1", "--timeout must be seconds"},
        {"set 00:1A:2B:3C:4D:5E --ip 1.2.3.4 --password secret", "--password is refused"},
        {"reboot 00:1A:2B:3C:4D:5E --password=secret", "--password is refused"},
        {"plan p.csv --apply --password secret", "Nothing was sent"},
        {"reboot", "reboot needs the MAC address of every device"},
        {"reset 00:1A:2B:3C:4D:5E 00-1a-2b-3c-4d-5e", "00:1A:2B:3C:4D:5E is named twice"},
        {"reboot \x1b[31m", "\"\\x1B[31m\" is not a MAC address"},
        {"plan", "plan needs a plan file, or --assign"},
        {"plan a.csv b.csv", "plan takes one file"},
        {"plan --assign 10.0.0.256", "--assign needs the first address"},
        {"plan a.csv --assign 10.0.0.1", "takes no plan file and no --apply"},
        {"plan --assign 10.0.0.1 --apply", "takes no plan file and no --apply"},
        {"plan a.csv --mask 255.0.0.0", "go with plan --assign"},
        {"plan a.csv --product Cam", "go with plan --assign"},
        {"check", "check needs a file"},
        {"check a.csv --min-firmware-date 2022087", "--min-firmware-date must be a date as YYYYMMDD"},
        {"check a.csv --min-firmware-date 20221301", "YYYYMMDD"},
        {"check a.csv --min-firmware-date 20220800", "YYYYMMDD"},
        {"check a.csv --yes", "check has no option \"--yes\""},
        {"check a.csv --unprobed-ok", "check has no option \"--unprobed-ok\""},
        {"plan a.csv --unprobed-ok=yes", "--unprobed-ok takes no value"},
        {"report", "report needs -o FILE"},
        {"report --site x", "report needs -o FILE"},
        {"report -o", "-o needs a value"},
        {"report -o=", "--output needs a file's name"},
        {"report -o r.html --format table", "--format must be html or json"},
        {"report -o r.html extra", "report takes no \"extra\""},
        {"report -o r.html --audit a.jsonl --site s extra", "report takes no \"extra\""},
        {"report -o r.html --inventory=", "--inventory needs a file's name"},
        {"search -o r.html", "search has no option \"-o\""},
        {"watch --interval 0.5", "--interval must be seconds from 1 to 3600, such as 5 or 2.5, not \"0.5\""},
        {"watch --interval 3601", "--interval must be seconds"},
        {"watch --interval 0", "--interval must be seconds"},
        {"watch --interval soon", "not \"soon\""},
        {"watch --default-ip 192.0.2", "--default-ip must be a dotted IPv4 address such as 192.0.2.10"},
        {"watch --format csv", "--format must be table, lines or jsonl, not \"csv\""},
        {"search --format lines", "--format must be table, csv or json"},
        {"watch --rounds 2", "watch has no option \"--rounds\""},
        {"search --interval 2", "search has no option \"--interval\""},
        {"watch 00:1A:2B:3C:4D:5E", "watch takes no"},
        {"probe", "probe needs one or more addresses, ranges FIRST-LAST or networks ADDRESS/PREFIX"},
        {"probe 198.51.100.1 --rounds 2", "probe has no option \"--rounds\""},
        {"probe 198.51.100.1 --format xml", "--format must be table, csv or json"},
        {"probe 198.51.100.256", "\"198.51.100.256\" is not an address: give dotted addresses"},
        {"probe 198.51.100.1,198.51.100.2", "is not an address"},
        {"probe 198.51.100.9-198.51.100.1", "ends before it starts"},
        {"probe 198.51.100.1-", "is not a range of addresses"},
        {"probe 198.51.100.1-198.51.100.2-198.51.100.3", "is not a range of addresses"},
        {"probe 198.51.100.0/33", "is not a network"},
        {"probe 198.51.100.0/", "is not a network"},
        {"probe 198.51.100.0/+8", "is not a network"},
        {"probe 198.51.100.0/24/24", "is not a network"},
        {"probe 198.51.100.0-198.51.100.9/24", "is not an address"},
        {"probe 198.51.100.7/24", "did you mean 198.51.100.0/24?"},
        {"probe 255.255.255.255", "which no host can have"},
        {"probe 126.255.255.250-127.0.0.1", "holds 127.0.0.0, which no host can have"},
        {"probe 0.0.0.0/0", "makes 4294967294 addresses; a probe takes at most 65536"},
        {"probe 10.0.0.0/15", "makes 131070 addresses"},
        {"probe 198.51.0.0/16 198.51.100.1-198.51.100.3", "makes 65537 addresses"},
    };
    for (const Refusal& c : cases) {
        Invocation invocation;
        std::string error;
        EXPECT_FALSE(ParseArguments(Words(c.line), kCommandTable, invocation, error)) << c.line;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.line << " said: " << error;
    }
}

TEST(Arguments, SetTakesEverySettingItNames)
{
    Invocation invocation;
    std::string error;
    ASSERT_TRUE(ParseArguments(Words("set 001a.2b3c.4d5e --ip 10.0.0.5 --mask=255.0.0.0 --gateway 10.0.0.1 --dns "
                                     "10.0.0.2 --dhcp --web-port 8080 --control-port 0 --video-port 65535 "
                                     "--audio-transmit-port 0100 --audio-receive-port 7 --user admin "
                                     "--password-file pw.txt --timeout 2.5 -y --adapter lan1 --rounds 2"),
                               kCommandTable, invocation, error))
        << error;
    EXPECT_STREQ(invocation.command->word, "set");
    EXPECT_EQ(invocation.macs, (std::vector<MacAddress>{{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}));
    const std::vector<std::optional<std::string>> change(invocation.change.begin(), invocation.change.end());
    EXPECT_EQ(change, (std::vector<std::optional<std::string>>{"10.0.0.5", "255.0.0.0", "10.0.0.1", "10.0.0.2", "dhcp",
                                                               "8080", "0", "65535", "100", "7"}));
    EXPECT_EQ(invocation.user, "admin");
    EXPECT_EQ(invocation.passwordFile, "pw.txt");
    EXPECT_DOUBLE_EQ(invocation.timeoutSeconds, 2.5);
    EXPECT_TRUE(invocation.yes);
    EXPECT_EQ(invocation.adapter, "lan1");
    EXPECT_EQ(invocation.rounds, 2);
}

TEST(Arguments, TheOtherCommands)
{
    Invocation invocation;
    std::string error;
    ASSERT_TRUE(ParseArguments(Words("search --adapter all --format csv"), kCommandTable, invocation, error)) << error;
    EXPECT_EQ(invocation.format, OutputFormat::Csv);
    EXPECT_EQ(invocation.rounds, 5) << "five requests unless told";
    EXPECT_EQ(invocation.adapter, "all");

    ASSERT_TRUE(
        ParseArguments(Words("reset 00:1A:2B:3C:4D:5E 00:1A:2B:3C:4D:5F --user u"), kCommandTable, invocation, error));
    EXPECT_STREQ(invocation.command->word, "reset");
    EXPECT_EQ(invocation.macs.size(), 2u);
    EXPECT_FALSE(invocation.yes);

    ASSERT_TRUE(ParseArguments(Words("plan --assign 10.0.0.10 --mask 255.255.255.0 --product cam"), kCommandTable,
                               invocation, error))
        << error;
    EXPECT_EQ(invocation.assignFirst, 0x0A00000Au);
    EXPECT_EQ(invocation.change[static_cast<std::size_t>(Setting::Mask)], "255.255.255.0");
    EXPECT_EQ(invocation.product, "cam");

    EXPECT_FALSE(invocation.unprobedOk) << "an address not probed is not free unless told";

    ASSERT_TRUE(ParseArguments(Words("plan site.csv --apply --yes --timeout 1"), kCommandTable, invocation, error))
        << error;
    EXPECT_EQ(invocation.file, "site.csv");
    EXPECT_TRUE(invocation.apply);
    EXPECT_FALSE(invocation.unprobedOk);
    for (const char* words :
         {"plan site.csv --apply --unprobed-ok", "plan site.csv --unprobed-ok", "plan --assign 10.0.0.10 --unprobed-ok",
          "set 00:1A:2B:3C:4D:5E --ip 10.0.0.5 --unprobed-ok"}) {
        ASSERT_TRUE(ParseArguments(Words(words), kCommandTable, invocation, error)) << words << ": " << error;
        EXPECT_TRUE(invocation.unprobedOk) << words;
    }

    ASSERT_TRUE(ParseArguments(Words("check inv.csv --min-firmware-date 20220807 --format json"), kCommandTable,
                               invocation, error));
    EXPECT_EQ(invocation.minFirmwareDate, 20220807);
    EXPECT_EQ(invocation.format, OutputFormat::Json);

    ASSERT_TRUE(ParseArguments(Words("watch"), kCommandTable, invocation, error)) << error;
    EXPECT_DOUBLE_EQ(invocation.intervalSeconds, 5) << "a search every five seconds unless told";
    EXPECT_FALSE(invocation.defaultIp);
    ASSERT_TRUE(ParseArguments(Words("watch --interval 1.5 --default-ip 192.0.2.250 --format jsonl --adapter all"),
                               kCommandTable, invocation, error))
        << error;
    EXPECT_DOUBLE_EQ(invocation.intervalSeconds, 1.5);
    EXPECT_EQ(invocation.defaultIp, 0xC00002FAu);
    EXPECT_EQ(invocation.format, OutputFormat::Jsonl);
    EXPECT_EQ(invocation.adapter, "all");

    ASSERT_TRUE(ParseArguments(Words("plan -- -odd-name.csv"), kCommandTable, invocation, error)) << error;
    EXPECT_EQ(invocation.file, "-odd-name.csv");

    // report: HTML unless told; --audit takes every word up to the next
    // option, as a shell pattern gives them, and may come again.
    ASSERT_TRUE(ParseArguments(Words("report -o r.html --audit a.jsonl b.jsonl --site North --audit c.jsonl "
                                     "--inventory inv.csv --rounds 2"),
                               kCommandTable, invocation, error))
        << error;
    EXPECT_EQ(invocation.output, "r.html");
    EXPECT_EQ(invocation.format, OutputFormat::Html);
    EXPECT_EQ(invocation.audits, (std::vector<std::string>{"a.jsonl", "b.jsonl", "c.jsonl"}));
    EXPECT_EQ(invocation.site, "North");
    EXPECT_EQ(invocation.inventory, "inv.csv");
    EXPECT_EQ(invocation.rounds, 2);
    ASSERT_TRUE(ParseArguments(Words("report --format json --output=r.json"), kCommandTable, invocation, error))
        << error;
    EXPECT_EQ(invocation.format, OutputFormat::Json);
    EXPECT_EQ(invocation.output, "r.json");
    EXPECT_FALSE(invocation.inventory);
    ASSERT_TRUE(ParseArguments(Words("search"), kCommandTable, invocation, error));
    EXPECT_EQ(invocation.format, OutputFormat::Table) << "each command's first format is its own default";

    // Each form expanded in order; a network without its network and
    // broadcast addresses, except a /31 or /32, which have none.
    ASSERT_TRUE(ParseArguments(Words("probe 198.51.100.10 198.51.100.20-198.51.100.22 198.51.100.248/30 "
                                     "198.51.100.30/31 198.51.100.40/32 198.51.100.10 --format json --adapter lan0"),
                               kCommandTable, invocation, error))
        << error;
    EXPECT_EQ(invocation.addresses,
              (std::vector<std::uint32_t>{0xC633640Au, 0xC6336414u, 0xC6336415u, 0xC6336416u, 0xC63364F9u, 0xC63364FAu,
                                          0xC633641Eu, 0xC633641Fu, 0xC6336428u, 0xC633640Au}));
    EXPECT_EQ(invocation.format, OutputFormat::Json);
    ASSERT_TRUE(
        ParseArguments(Words("probe 198.51.0.0/16 198.51.100.1 198.51.100.2"), kCommandTable, invocation, error))
        << error;
    EXPECT_EQ(invocation.addresses.size(), 65536u) << "the most a probe takes, exactly";
}

// The table drives the command word, the dispatch and the help: each entry
// is found by its word, runs, and has its own help and its place in the
// program's.
TEST(CommandTable, EveryCommandByItsWordWithItsHelp)
{
    const std::string program = ProgramHelp(kCommandTable);
    for (const CommandEntry& command : kCommandTable) {
        const std::string word = command.word;
        Invocation invocation;
        std::string error;
        ASSERT_TRUE(ParseArguments({word, "--help"}, kCommandTable, invocation, error)) << word << ": " << error;
        EXPECT_EQ(invocation.command, &command);
        EXPECT_NE(command.run, nullptr) << word;
        EXPECT_EQ(std::string(command.help).rfind("usage: nwctl " + word + " ", 0), 0u) << word;
        EXPECT_NE(program.find("\n  " + word + " "), std::string::npos) << word;
    }
    EXPECT_NE(program.find("\ncommands\n"
                           "  search      list the devices that answer\n"
                           "  adapters    list the network adapters nwctl can search from\n"),
              std::string::npos)
        << program;
    EXPECT_NE(program.find("  plan FILE   check a plan for many devices; with --apply, carry it out\n"
                           "  plan --assign FIRST_ADDRESS   write a plan of consecutive addresses\n"
                           "  check FILE  compare the devices that answer with an inventory\n"
                           "  report -o FILE  write a handover report of the site (HTML or JSON)\n"
                           "  watch       search again and again and say what changed\n"
                           "  probe ADDRESS...   who answers for addresses on the LAN, devices or not\n"
                           "\nnwctl COMMAND --help tells more"),
              std::string::npos)
        << "a summary of two lines, each indented, and the text after the list";
}

TEST(Arguments, HelpAndVersionNeedNothingElse)
{
    Invocation invocation;
    std::string error;
    ASSERT_TRUE(ParseArguments(Words("--help"), kCommandTable, invocation, error));
    EXPECT_TRUE(invocation.help);
    EXPECT_EQ(invocation.command, nullptr);
    ASSERT_TRUE(ParseArguments(Words("set --help"), kCommandTable, invocation, error)) << "no MAC needed for help";
    EXPECT_TRUE(invocation.help);
    EXPECT_STREQ(invocation.command->word, "set");
    ASSERT_TRUE(ParseArguments(Words("--version"), kCommandTable, invocation, error));
    EXPECT_TRUE(invocation.version);
    EXPECT_FALSE(ParseArguments(Words("search --version"), kCommandTable, invocation, error));
}

}  // namespace
