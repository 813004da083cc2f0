// The command line: devices in the order given, crafted datagrams, and a
// clear refusal of anything else.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "options.h"
#include "text_field.h"

namespace {

using Args = std::vector<std::string>;

std::string WriteTempFile(const std::string& name, const std::string& text)
{
    const std::string path = testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    return path;
}

TEST(Options, DevicesInTheOrderGiven)
{
    const std::string file = WriteTempFile("nwsim_options_devices.ini", "[device]\nname = from file\n");
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(
        {"--devices", "2", "--device=mac=X,answers=1", "--config", file, "--devices=1", "--delay", "0.5", "--spread=2",
         "--broadcast", "--reboot-time", "1.5", "--log", "/tmp/x.log", "--port", "41013", "--reply-port", "41014"},
        line, error))
        << error;
    EXPECT_EQ(line.mode, CommandLine::Mode::Serve);
    const ServeOptions& o = line.serve;
    ASSERT_EQ(o.devices.size(), 5u);
    EXPECT_EQ(ReadTextField(o.devices[1].record.macAddress), "00:1A:2B:00:00:02");
    EXPECT_EQ(ReadTextField(o.devices[2].record.macAddress), "X");
    EXPECT_EQ(ReadTextField(o.devices[2].record.ipAddress), "198.51.100.102") << "patterned from its position";
    EXPECT_EQ(o.devices[2].behaviour.answers, 1u);
    EXPECT_EQ(ReadTextField(o.devices[3].record.deviceName), "from file");
    EXPECT_EQ(ReadTextField(o.devices[4].record.macAddress), "00:1A:2B:00:00:05");
    EXPECT_EQ(o.farm.delay, 0.5);
    EXPECT_EQ(o.farm.spread, 2);
    EXPECT_TRUE(o.farm.broadcastReplies);
    EXPECT_EQ(o.farm.rebootTime, 1.5);
    EXPECT_EQ(o.logPath, "/tmp/x.log");
    EXPECT_EQ(o.port, 41013);
    EXPECT_EQ(o.replyPort, 41014);
    EXPECT_FALSE(o.answerArp) << "unset: answered where the right allows";

    ASSERT_TRUE(ParseCommandLine({"--devices", "1", "--no-arp"}, line, error)) << error;
    EXPECT_EQ(line.serve.answerArp, false);
    ASSERT_TRUE(ParseCommandLine({"--devices", "1", "--no-arp", "--arp"}, line, error)) << error;
    EXPECT_EQ(line.serve.answerArp, true) << "the last one counts";

    ASSERT_TRUE(ParseCommandLine({"check", "--spread", "3", "--burst", "--devices", "1"}, line, error)) << error;
    EXPECT_EQ(line.mode, CommandLine::Mode::Check);
    EXPECT_EQ(line.serve.farm.spread, 0) << "--burst cancels --spread";
}

TEST(Options, RefusedCommandLines)
{
    const std::string badFile = WriteTempFile("nwsim_options_bad.ini", "[device]\n\nwebPort = 0x50\n");
    // The keys of a section checked together once it is read whole.
    const std::string timelineFile = WriteTempFile("nwsim_options_timeline.ini", "[device]\nmoveAt = 4\n");
    struct Case {
        Args args;
        std::string error;  // the start of the message
    } const cases[] = {
        {{}, "no devices"},
        {{"--devices"}, "--devices needs a value"},
        {{"--devices", "0"}, "--devices: '0' is not a whole number from 1 to 65536"},
        {{"--devices", "65537"}, "--devices: '65537'"},
        {{"--devices", "-3"}, "--devices: '-3'"},
        {{"--devices", "40000", "--devices", "40000"}, "at most 65536 devices"},
        {{"--device", "mac=A,colour=red"}, "--device mac=A,colour=red: unknown key 'colour'"},
        {{"--config", "/nonexistent/devices.ini"}, "cannot open /nonexistent/devices.ini: "},
        {{"--config", badFile}, badFile + ": line 3: webPort: '0x50'"},
        {{"--devices", "1", "--port", "0"}, "--port: '0' is not a whole number from 1 to 65535"},
        {{"--devices", "2", "--device", "leaveAt=3,rejoinAt=1"}, "device 3: rejoinAt must be later than leaveAt"},
        {{"--config", timelineFile}, "device 1: moveAt and moveTo go together"},
        {{"--devices", "1", "--port", "65536"}, "--port"},
        {{"--devices", "1", "--bind", "localhost"}, "--bind: 'localhost' is not a dotted IPv4 address"},
        {{"--devices", "1", "--delay", "soon"}, "--delay: 'soon' is not a number of seconds"},
        {{"--devices", "1", "--broadcast=yes"}, "--broadcast takes no value"},
        {{"--devices", "1", "--no-arp=1"}, "--no-arp takes no value"},
        {{"--devices", "1", "--sndbuf", "10"}, "--sndbuf: '10' is not a whole number from 4096"},
        {{"--devices", "1", "--frobnicate"}, "unknown option --frobnicate"},
        {{"--devices", "1", "stray"}, "unknown option stray"},
        {{"frobnicate"}, "unknown mode frobnicate"},
        {{"send"}, "send needs --to ADDRESS"},
        {{"send", "--to", "198.51.100"}, "--to: '198.51.100' is not a dotted IPv4 address"},
        {{"send", "--to", "198.51.100.1", "--size", "65508"}, "--size: '65508'"},
        {{"send", "--to", "198.51.100.1", "--pad", "256"}, "--pad"},
        {{"send", "--to", "198.51.100.1", "--raw", "0g"}, "--raw: '0g' is not hex"},
        {{"send", "--to", "198.51.100.1", "--repeat", "0"}, "--repeat"},
        {{"send", "--to", "198.51.100.1", "--webPort", "70000"}, "--webPort: webPort: '70000'"},
        {{"send", "--to", "198.51.100.1", "--delay", "1"}, "--delay: unknown record field 'delay'"},
        {{"send", "--to", "198.51.100.1", "--mac"}, "--mac needs a value"},
        {{"send", "--to", "198.51.100.1", "oops"}, "unexpected argument oops"},
    };
    for (const Case& c : cases) {
        CommandLine line;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(c.args, line, error)) << c.error;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "expected \"" << c.error << "\", got \"" << error << "\"";
    }
}

TEST(Options, HelpWinsAnywhere)
{
    for (const Args& args : {Args{"--help"}, Args{"-h"}, Args{"help"}, Args{"send", "--to", "x", "--help"},
                             Args{"--devices", "0", "-h"}}) {
        CommandLine line;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(args, line, error)) << error;
        EXPECT_EQ(line.mode, CommandLine::Mode::Help);
    }
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"send", "--to", "198.51.100.1", "--name", "help"}, line, error)) << error;
    EXPECT_EQ(line.mode, CommandLine::Mode::Send) << "a value of \"help\" is just a value";
}

TEST(Options, CraftedDatagrams)
{
    struct Case {
        Args args;
        std::size_t size;
        std::string expectedStart;  // the first bytes
        int padByte;                // the byte at 371 and after, if the datagram reaches there; -1: none
    } const cases[] = {
        {{}, 371, std::string("\x04\0\0\0", 4), -1},
        {{"--size", "0"}, 0, "", -1},
        {{"--size", "10", "--command", "3"}, 10, std::string("\x03\0\0\0\0\0\0\0\0\0", 10), -1},
        {{"--size", "372"}, 372, std::string("\x04\0\0\0", 4), 0},
        {{"--size=400", "--pad", "255", "--command", "5", "--result", "7"},
         400,
         std::string("\x05\0\0\0\x07\0\0\0", 8),
         0xFF},
        {{"--raw", "0102", "--size", "4"}, 4, std::string("\x01\x02\0\0", 4), -1},
        {{"--raw", "010203"}, 3, "\x01\x02\x03", -1},
        {{"--command", "-1"}, 371, "\xff\xff\xff\xff", -1},
    };
    for (const Case& c : cases) {
        Args args = {"send", "--to", "198.51.100.1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CommandLine line;
        std::string error;
        ASSERT_TRUE(ParseCommandLine(args, line, error)) << error;
        const std::string bytes = line.send.datagram.Bytes();
        EXPECT_EQ(bytes.size(), c.size) << args.back();
        EXPECT_EQ(bytes.substr(0, c.expectedStart.size()), c.expectedStart) << args.back();
        if (c.padByte >= 0) {
            for (std::size_t i = DISCOVERY_DATA_SIZE; i < bytes.size(); ++i)
                ASSERT_EQ(static_cast<unsigned char>(bytes[i]), c.padByte) << i;
        }
    }

    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(
        {"send", "--to", "255.255.255.255", "--port", "40013", "--mac", "AA:BB:CC:DD:EE:FF", "--ip", "198.51.100.9",
         "--userId", "admin", "--password", "admin", "--repeat", "3", "--interval", "0.1", "--from-port", "0"},
        line, error))
        << error;
    const SendOptions& o = line.send;
    EXPECT_EQ(o.to, "255.255.255.255");
    EXPECT_EQ(o.port, 40013);
    EXPECT_EQ(o.repeat, 3u);
    EXPECT_EQ(o.interval, 0.1);
    EXPECT_EQ(ReadTextField(o.datagram.record.macAddress), "AA:BB:CC:DD:EE:FF");
    EXPECT_EQ(ReadTextField(o.datagram.record.ipAddress), "198.51.100.9");
    EXPECT_EQ(ReadTextField(o.datagram.record.userId), "admin");
    EXPECT_NE(o.datagram.record.passwordDigest[0] | o.datagram.record.passwordDigest[1], 0);
}

}  // namespace
