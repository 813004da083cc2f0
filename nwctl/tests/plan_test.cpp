// Bulk addressing: reading a plan, finding every problem with it before
// anything is sent, and writing one by the assign rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "address_use_fixture.h"
#include "io/csv.h"
#include "record_bytes.h"
#include "rules/assign_rule.h"
#include "rules/plan_rules.h"
#include "rules/unprobed_rules.h"
#include "search_reply.h"

namespace {

FoundDevice Device(const std::string& mac, const std::string& ip, const std::string& product = "SimCam")
{
    return FoundDevice{SearchReply(mac, ip, product), "lan0"};
}

std::vector<PlanRow> Plan(const std::string& csv)
{
    std::vector<PlanRow> rows;
    std::vector<std::string> errors;
    EXPECT_TRUE(ReadPlan(csv, rows, errors)) << (errors.empty() ? "" : errors.front());
    return rows;
}

TEST(PlanFile, ReadsAnEditedSearchAndNamesEachBadLine)
{
    // A search's CSV, edited: its other columns ignored, blank cells keep.
    const std::vector<PlanRow> rows = Plan(
        "mac,ip,product,mode,web_port,adapter\n"
        "00:1a:2b:00:00:01, 192.0.2.50 ,SimCam,DHCP,,lan0\n"
        ",,,,,\n"
        "00-1A-2B-00-00-02,,\"Cam, with comma\",,8080,lan0\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].line, 2);
    EXPECT_EQ(rows[0].change[static_cast<std::size_t>(Setting::Ip)], "192.0.2.50");
    EXPECT_EQ(rows[0].change[static_cast<std::size_t>(Setting::Mode)], "dhcp");
    EXPECT_FALSE(rows[0].change[static_cast<std::size_t>(Setting::WebPort)]);
    EXPECT_EQ(rows[1].line, 4);
    EXPECT_EQ(rows[1].change[static_cast<std::size_t>(Setting::WebPort)], "8080");

    const struct {
        const char* name;
        const char* csv;
        std::vector<std::string> errors;
    } bad[] = {
        {"empty file", "", {"the file is empty: it needs a header line naming its columns"}},
        {"no mac column", "ip,mask\n1.2.3.4,255.0.0.0\n", {"line 1: the header has no mac column"}},
        {"a column twice", "mac,ip, ip\n", {"line 1: the header names column ip twice"}},
        {"field count",
         "mac,ip\n00:1A:2B:00:00:01\n00:1A:2B:00:00:02,1.2.3.4,x\n",
         {"line 2: 1 fields, but the header has 2", "line 3: 3 fields, but the header has 2"}},
        {"bad cells",
         "mac,web_port,mode\nnot-a-mac,80,static\n00:1A:2B:00:00:02,65536,auto\n",
         {std::string("line 2: mac \"not-a-mac\" is not a MAC address: give ") + kMacForms,
          "line 3: web_port must be a whole number from 0 to 65535, not \"65536\"",
          "line 3: mode must be static or dhcp, not \"auto\""}},
        {"hostile cell",
         "mac\n\x1b]0;x\a\n",
         {std::string("line 2: mac \"\\x1B]0;x\\x07\" is not a MAC address: give ") + kMacForms}},
        {"broken quoting", "mac\n\"00:1A\n", {"line 2: a quoted field is never closed"}},
    };
    for (const auto& c : bad) {
        std::vector<PlanRow> rows;
        std::vector<std::string> errors;
        EXPECT_FALSE(ReadPlan(c.csv, rows, errors)) << c.name;
        EXPECT_EQ(errors, c.errors) << c.name;
    }
}

// A misspelt column would leave its setting unchanged and the run would
// end "no change": every column is one nwctl knows, with the nearest name
// suggested. A search's own columns stay, so that its CSV edited is a plan.
TEST(PlanFile, AColumnNwctlDoesNotKnowIsNamedWithTheNearestKnownOne)
{
    const std::string known =
        "a plan's columns are mac and the settings: ip mask gateway dns mode web_port control_port video_port "
        "audio_transmit_port audio_receive_port (a search's https product maker firmware name adapter are read "
        "and ignored)";
    const struct {
        const char* name;
        std::string csv;
        std::vector<std::string> errors;  // none: read
    } cases[] = {
        {"a search's own columns",
         "mac,https,product,maker,firmware,name,adapter,ip\n00:1A:2B:00:00:01,1,a,b,c,d,e,\n",
         {}},
        {"any case", "MAC,Web_Port,GATEWAY\n00:1A:2B:00:00:01,8080,\n", {}},
        {"a blank column a spreadsheet adds", "mac,ip,\n00:1A:2B:00:00:01,192.0.2.5,\n", {}},
        {"misspelt",
         "mac,gatway\n00:1A:2B:00:00:01,192.0.2.1\n",
         {"line 1: column gatway is not one nwctl knows: did you mean gateway?", known}},
        {"a dash for the underscore",
         "mac,web-port\n00:1A:2B:00:00:01,8080\n",
         {"line 1: column web-port is not one nwctl knows: did you mean web_port?", known}},
        {"two words",
         "mac,ip address,Video Port\n00:1A:2B:00:00:01,192.0.2.5,554\n",
         {"line 1: column ip address is not one nwctl knows: did you mean ip?",
          "line 1: column Video Port is not one nwctl knows: did you mean video_port?", known}},
        {"nothing near",
         "mac,location\n00:1A:2B:00:00:01,hall\n",
         {"line 1: column location is not one nwctl knows", known}},
        {"a cell without a name",
         "mac,,ip\n00:1A:2B:00:00:01,x,192.0.2.5\n",
         {"line 1: column 2 has no name in the header but holds values on line 2", known}},
        {"unknown twice", "mac,gatway,Gatway\n00:1A:2B:00:00:01,,\n", {"line 1: the header names column Gatway twice"}},
        {"hostile name",
         "mac,\x1b[2J\n00:1A:2B:00:00:01,\n",
         {"line 1: column \\x1B[2J is not one nwctl knows", known}},
    };
    for (const auto& c : cases) {
        std::vector<PlanRow> rows;
        std::vector<std::string> errors;
        EXPECT_EQ(ReadPlan(c.csv, rows, errors), c.errors.empty()) << c.name;
        EXPECT_EQ(errors, c.errors) << c.name;
    }
}

struct ProblemCase {
    const char* name;
    std::string plan;
    std::vector<FoundDevice> found;
    std::vector<std::string> problems;  // "line: text"
};

// This computer, as the cases see it: an adapter on the devices' subnet and
// the loopback one.
const std::vector<Adapter> kOwnAdapters = {{"lan0", 0xC0000205u, 0xFFFFFF00u, 2, false, std::nullopt},
                                           {"lo", 0x7F000001u, 0xFF000000u, 1, true, std::nullopt}};

std::vector<std::string> Problems(const std::string& plan, const std::vector<FoundDevice>& found,
                                  const AddressUse& use = AddressUse(), bool unprobedOk = false)
{
    std::vector<std::string> texts;
    for (const PlanProblem& problem : FindPlanProblems(Plan(plan), found, kOwnAdapters, use, unprobedOk))
        texts.push_back(std::to_string(problem.line) + ": " + problem.text);
    return texts;
}

TEST(PlanProblems, EveryOneFoundBeforeAnythingIsSent)
{
    const FoundDevice a = Device("00:1A:2B:00:00:01", "192.0.2.10");
    const FoundDevice b = Device("00:1A:2B:00:00:02", "192.0.2.11");
    const FoundDevice outsider = Device("00:1A:2B:00:00:99", "192.0.2.99");
    FoundDevice oddMode = Device("00:1A:2B:00:00:03", "192.0.2.12");
    oddMode.record.dhcp = 5;
    FoundDevice badOwnMask = Device("00:1A:2B:00:00:04", "192.0.2.13");
    PutField(badOwnMask.record.subnetMask, "255.0.255.0");
    const FoundDevice hostile = Device("\x1b[2J", "192.0.2.60");

    const ProblemCase cases[] = {
        {"a clean plan", "mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n00:1A:2B:00:00:02,192.0.2.21\n", {a, b, outsider}, {}},
        {"swapping two addresses is fine",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.10\n",
         {a, b},
         {}},
        {"not found",
         "mac,ip\n00:1A:2B:00:00:05,192.0.2.20\n",
         {a},
         {"2: 00:1A:2B:00:00:05: not found by the search; if it is restarting (after a reboot, a reset or new "
          "settings), "
          "search again once it is up"}},
        {"found at two addresses",
         "mac,web_port\n00:1A:2B:00:00:01,81\n",
         {a, Device("00:1a:2b:00:00:01", "192.0.2.77")},
         {"2: 00:1A:2B:00:00:01: answered from 2 addresses (192.0.2.10, 192.0.2.77); it cannot be told which one "
          "is meant"}},
        {"planned twice",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n001a2b000001,192.0.2.21\n",
         {a},
         {"3: 00:1A:2B:00:00:01: planned twice: also on line 2"}},
        {"two devices onto one address",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n00:1A:2B:00:00:02,192.0.2.20\n",
         {a, b},
         {"3: 00:1A:2B:00:00:02: ip 192.0.2.20 is planned for 00:1A:2B:00:00:01 on line 2 too"}},
        {"onto the address a kept device keeps",
         "mac,ip,web_port\n00:1A:2B:00:00:01,192.0.2.11,\n"
         "00:1A:2B:00:00:02,,81\n",
         {a, b},
         {"3: 00:1A:2B:00:00:02: ip 192.0.2.11 (the device's own) is planned for 00:1A:2B:00:00:01 on line 2 too"}},
        {"address used outside the plan",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.99\n",
         {a, outsider},
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.99 is already used by 00:1A:2B:00:00:99, which is not in the plan"}},
        {"used by a device with a hostile MAC text",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.60\n",
         {a, hostile},
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.60 is already used by \\x1B[2J, which is not in the plan"}},
        {"not an address",
         "mac,ip,gateway,dns\n00:1A:2B:00:00:01,192.0.2.300,gw,\n",
         {a},
         {"2: 00:1A:2B:00:00:01: ip \"192.0.2.300\" is not a dotted IPv4 address",
          "2: 00:1A:2B:00:00:01: gateway \"gw\" is not a dotted IPv4 address"}},
        {"the device's own mask is not one",
         "mac,web_port\n00:1A:2B:00:00:04,81\n",
         {badOwnMask},
         {"2: 00:1A:2B:00:00:04: mask 255.0.255.0 (the device's own) is not a subnet mask of 1 to 30 bits"}},
        {"a mask of no bits",
         "mac,mask\n00:1A:2B:00:00:01,0.0.0.0\n",
         {a},
         {"2: 00:1A:2B:00:00:01: mask 0.0.0.0 is not a subnet mask of 1 to 30 bits"}},
        {"gateway outside the subnet",
         "mac,ip,mask\n00:1A:2B:00:00:01,10.1.2.3,255.255.0.0\n",
         {a},
         {"2: 00:1A:2B:00:00:01: gateway 192.0.2.1 (the device's own) is outside the subnet 10.1.0.0/16 of ip "
          "10.1.2.3"}},
        {"a gateway of 0.0.0.0 is none", "mac,ip,gateway\n00:1A:2B:00:00:01,10.1.2.3,0.0.0.0\n", {a}, {}},
        {"the gateway's own address",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.1\n",
         {a},
         {"2: 00:1A:2B:00:00:01: gateway 192.0.2.1 is the device's own address"}},
        {"network and broadcast addresses",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.0\n00:1A:2B:00:00:02,192.0.2.255\n",
         {a, b},
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.0 is the network address of its subnet /24",
          "3: 00:1A:2B:00:00:02: ip 192.0.2.255 is the broadcast address of its subnet /24"}},
        {"addresses no device can have",
         "mac,ip\n00:1A:2B:00:00:01,127.0.0.5\n00:1A:2B:00:00:02,224.0.0.1\n",
         {a, b},
         {"2: 00:1A:2B:00:00:01: ip 127.0.0.5 cannot be a device's address",
          "3: 00:1A:2B:00:00:02: ip 224.0.0.1 cannot be a device's address"}},
        {"DHCP: no address checks but the form", "mac,mode,ip\n00:1A:2B:00:00:01,dhcp,192.0.2.11\n", {a, b}, {}},
        {"an odd mode must be planned",
         "mac,web_port\n00:1A:2B:00:00:03,81\n",
         {oddMode},
         {"2: 00:1A:2B:00:00:03: its address mode 5 is neither static nor dhcp: give it one (with set, --static or "
          "--dhcp; in a plan, a mode column)"}},
        {"an odd mode planned away", "mac,mode\n00:1A:2B:00:00:03,static\n", {oddMode}, {}},
        {"this computer's own address",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.5\n",
         {a},
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.5 is this computer's own address (adapter lan0)"}},
        {"a device already on this computer's address is told to leave it",
         "mac,web_port\n00:1A:2B:00:00:01,81\n",
         {Device("00:1A:2B:00:00:01", "192.0.2.5")},
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.5 (the device's own) is this computer's own address (adapter lan0)"}},
        {"an address on this network, 0.0.0.0/8",
         "mac,ip,mask,gateway\n00:1A:2B:00:00:01,0.0.0.1,255.255.255.0,0.0.0.0\n",
         {a},
         {"2: 00:1A:2B:00:00:01: ip 0.0.0.1 cannot be a device's address"}},
        {"a port of 0, as the device refuses it",
         "mac,video_port\n00:1A:2B:00:00:01,0\n",
         {a},
         {"2: 00:1A:2B:00:00:01: video_port 0 is refused by the device: a port is 1 to 65535"}},
        {"a port the device has already for another",
         "mac,web_port\n00:1A:2B:00:00:01,30002\n",
         {a},
         {"2: 00:1A:2B:00:00:01: video_port 30002 (the device's own) is web_port's too: the device refuses two ports "
          "alike"}},
        {"two planned ports alike",
         "mac,audio_transmit_port,audio_receive_port\n00:1A:2B:00:00:01,7000,7000\n",
         {a},
         {"2: 00:1A:2B:00:00:01: audio_receive_port 7000 is audio_transmit_port's too: the device refuses two ports "
          "alike"}},
        {"ports are checked whatever the address mode",
         "mac,mode,web_port\n00:1A:2B:00:00:01,dhcp,0\n",
         {a},
         {"2: 00:1A:2B:00:00:01: web_port 0 is refused by the device: a port is 1 to 65535"}},
    };
    for (const ProblemCase& c : cases)
        EXPECT_EQ(Problems(c.plan, c.found), c.problems) << c.name;
}

// What the probe heard, held against the addresses the devices would have.
TEST(PlanProblems, AnAddressAnotherHostAnswersForIsOne)
{
    const FoundDevice a = Device("00:1a:2b:00:00:01", "192.0.2.10");  // its MAC text in lower case
    const FoundDevice b = Device("00:1A:2B:00:00:02", "192.0.2.11");
    const FoundDevice c = Device("00:1A:2B:00:00:03", "192.0.2.12");
    const FoundDevice outsider = Device("00:1A:2B:00:00:99", "192.0.2.99");
    const char* bystander = "02:00:5e:10:00:07";
    const char* other = "02:00:5E:10:00:08";
    const struct {
        const char* name;
        std::string plan;
        std::vector<FoundDevice> found;
        AddressUse use;
        std::vector<std::string> problems;
        bool unprobedOk = false;
    } cases[] = {
        {"a host on a planned address",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n00:1A:2B:00:00:02,192.0.2.31\n",
         {a, b},
         Use({{"192.0.2.20", {}}, {"192.0.2.31", {bystander}}}),
         {"3: 192.0.2.31 is planned for 00:1A:2B:00:00:02 but is in use by 02:00:5E:10:00:07"}},
        {"every host on it is named",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.31\n",
         {a},
         Use({{"192.0.2.31", {other, bystander, "02:00:5E:10:00:09"}}}),
         {"2: 192.0.2.31 is planned for 00:1A:2B:00:00:01 but is in use by 02:00:5E:10:00:07, 02:00:5E:10:00:08 "
          "and 02:00:5E:10:00:09"}},
        {"a device answering for its own address, whatever the case of its MAC text",
         "mac,web_port\n00:1A:2B:00:00:01,81\n",
         {a},
         Use({{"192.0.2.10", {"00:1A:2B:00:00:01"}}}),
         {}},
        {"another host on the address the device keeps",
         "mac,web_port\n00:1A:2B:00:00:01,81\n",
         {a},
         Use({{"192.0.2.10", {"00:1A:2B:00:00:01", bystander}}}),
         {"2: 192.0.2.10 is planned for 00:1A:2B:00:00:01 but is in use by 02:00:5E:10:00:07"}},
        {"two devices of the plan swapping their addresses",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.10\n",
         {a, b},
         Use({{"192.0.2.10", {"00:1A:2B:00:00:01"}}, {"192.0.2.11", {"00:1A:2B:00:00:02"}}}),
         {}},
        {"a device outside the plan is named once, as the search found it",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.99\n",
         {a, outsider},
         Use({{"192.0.2.99", {"00:1A:2B:00:00:99"}}}),
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.99 is already used by 00:1A:2B:00:00:99, which is not in the plan"}},
        {"a device outside the plan answering for an address the search did not find it at",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.50\n",
         {a, outsider},
         Use({{"192.0.2.50", {"00:1A:2B:00:00:99"}}}),
         {"2: 192.0.2.50 is planned for 00:1A:2B:00:00:01 but is in use by 00:1A:2B:00:00:99"}},
        {"a MAC of the plan that the search did not find is another host",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n00:1A:2B:00:00:05,192.0.2.21\n",
         {a},
         Use({{"192.0.2.20", {"00:1A:2B:00:00:05"}}}),
         {"2: 192.0.2.20 is planned for 00:1A:2B:00:00:01 but is in use by 00:1A:2B:00:00:05",
          "3: 00:1A:2B:00:00:05: not found by the search; if it is restarting (after a reboot, a reset or new "
          "settings), "
          "search again once it is up"}},
        {"this computer's own address, which answers with its adapter's MAC, is named once",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.5\n",
         {a},
         Use({{"192.0.2.5", {"02:00:00:00:00:05", bystander}}}),
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.5 is this computer's own address (adapter lan0)"}},
        {"an address a device moves onto that could not be probed is unknown, never free; one it keeps puts "
         "nobody new on it",
         "mac,ip,web_port\n00:1A:2B:00:00:01,192.0.2.31,\n00:1A:2B:00:00:02,,81\n00:1A:2B:00:00:03,192.0.2.12,82\n",
         {a, b, c},
         Use({{"192.0.2.10", {}}}, {"192.0.2.31", "192.0.2.11", "192.0.2.12"}),
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.31 could not be probed (not reached): whether another host holds it is "
          "unknown"}},
        {"with --unprobed-ok an address that could not be probed is taken as free",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.31\n",
         {a},
         Use({}, {"192.0.2.31"}),
         {},
         true},
        {"this computer's own address is named as such only, probed or not",
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.5\n",
         {a},
         Use({}, {"192.0.2.5"}),
         {"2: 00:1A:2B:00:00:01: ip 192.0.2.5 is this computer's own address (adapter lan0)"}},
        {"a device going to DHCP has no address to hold",
         "mac,mode\n00:1A:2B:00:00:01,dhcp\n",
         {a},
         Use({{"192.0.2.10", {bystander}}}),
         {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Problems(c.plan, c.found, c.use, c.unprobedOk), c.problems) << c.name;
}

TEST(PlanProblems, TheAddressesToProbeAreThoseTheDevicesWouldHold)
{
    FoundDevice oddMode = Device("00:1A:2B:00:00:03", "192.0.2.12");
    oddMode.record.dhcp = 5;
    FoundDevice onDhcp = Device("00:1A:2B:00:00:04", "192.0.2.13");
    onDhcp.record.dhcp = 1;
    FoundDevice toStatic = Device("00:1A:2B:00:00:08", "192.0.2.14");
    toStatic.record.dhcp = 1;
    const std::vector<FoundDevice> found = {Device("00:1A:2B:00:00:01", "192.0.2.10"),
                                            Device("00:1A:2B:00:00:02", "192.0.2.11"),
                                            oddMode,
                                            onDhcp,
                                            Device("00:1A:2B:00:00:06", "192.0.2.30"),
                                            Device("00:1A:2B:00:00:06", "192.0.2.31"),
                                            Device("00:1A:2B:00:00:07", "192.0.2.15"),
                                            toStatic};
    const std::vector<std::uint32_t> addresses = PlannedAddresses(Plan("mac,ip,mode\n"
                                                                       "00:1A:2B:00:00:01,192.0.2.40,\n"
                                                                       "00:1A:2B:00:00:02,,\n"
                                                                       "00:1A:2B:00:00:03,,\n"
                                                                       "00:1A:2B:00:00:04,,\n"
                                                                       "00:1A:2B:00:00:05,192.0.2.43,\n"
                                                                       "00:1A:2B:00:00:06,192.0.2.44,\n"
                                                                       "00:1A:2B:00:00:07,192.0.2.45,dhcp\n"
                                                                       "00:1A:2B:00:00:08,,static\n"),
                                                                  found);
    // Planned, its own kept, and its own made static; not the odd mode, not
    // DHCP staying or coming, not a MAC not found or found twice.
    EXPECT_EQ(addresses, (std::vector<std::uint32_t>{0xC0000228u, 0xC000020Bu, 0xC000020Eu}));
}

AssignRequest Request(std::uint32_t first, std::optional<std::uint32_t> mask, std::optional<std::uint32_t> gateway,
                      std::optional<std::uint32_t> dns, const char* product)
{
    return AssignRequest{first, mask, gateway, dns, product};
}

struct AssignCase {
    const char* name;
    AssignRequest request;
    std::vector<FoundDevice> found;
    AssignOutcome outcome;
    std::vector<std::string> rows;  // "mac ip", or "mac ip mode" where the mode changes
    std::string says;               // the error, or the notes joined by "; "
};

TEST(Assign, ConsecutiveInMacOrderAroundTakenAddresses)
{
    const FoundDevice c1 = Device("00:1A:2B:00:00:03", "192.0.2.30", "SimCam-A");
    const FoundDevice c2 = Device("00:1a:2b:00:00:01", "192.0.2.31", "simcam-B");
    const FoundDevice c3 = Device("00:1A:2B:00:00:02", "192.0.2.11", "SimCam-C");  // sits on an address to give
    const FoundDevice other = Device("00:1A:2B:00:00:09", "192.0.2.12", "Door");
    const FoundDevice noMac = Device("junk", "192.0.2.13", "SimCam-Z");
    FoundDevice onDhcp = Device("00:1A:2B:00:00:04", "192.0.2.40", "SimCam-D");
    onDhcp.record.dhcp = 1;
    FoundDevice noMask = Device("00:1A:2B:00:00:05", "192.0.2.41", "SimCam-E");
    PutField(noMask.record.subnetMask, "255.0.255.0");
    FoundDevice noMask2 = Device("00:1A:2B:00:00:06", "192.0.2.42", "SimCam-E");
    PutField(noMask2.record.subnetMask, "");
    const auto none = std::nullopt;
    constexpr auto kAssigned = AssignOutcome::Assigned;

    const AssignCase cases[] = {
        {"in MAC order, skipping an outsider",
         Request(0xC000020Au, none, none, none, "simcam"),
         {c1, c2, c3, other},
         kAssigned,
         {"00:1A:2B:00:00:01 192.0.2.10", "00:1A:2B:00:00:02 192.0.2.11", "00:1A:2B:00:00:03 192.0.2.13"},
         ""},
        {"a device without a MAC cannot be planned, and its address is taken",
         Request(0xC000020Du, none, none, none, "simcam"),
         {noMac, c1},
         kAssigned,
         {"00:1A:2B:00:00:03 192.0.2.14"},
         ""},
        {"gateway, DNS and this computer's own address skipped",
         Request(0xC0000201u, 0xFFFFFF00u, 0xC0000201u, 0xC0000202u, "A"),
         {c1},
         kAssigned,
         {"00:1A:2B:00:00:03 192.0.2.3"},
         ""},
        {"the network address, the device's own gateway and DNS, and this computer's skipped",
         Request(0xC0000200u, 0xFFFFFF00u, none, none, "SimCam-A"),
         {c1, Device("00:1A:2B:00:00:0A", "192.0.2.4", "Door")},
         kAssigned,
         {"00:1A:2B:00:00:03 192.0.2.3"},
         ""},
        {"a device in DHCP mode is made static, and the operator told",
         Request(0xC0000214u, none, none, none, "simcam-d"),
         {onDhcp},
         kAssigned,
         {"00:1A:2B:00:00:04 192.0.2.20 static"},
         "00:1A:2B:00:00:04 is in dhcp mode now: the plan makes it static"},
        {"the subnet runs out",
         Request(0xC00002FDu, 0xFFFFFF00u, none, none, "simcam"),
         {c1, c2, c3},
         AssignOutcome::OutOfAddresses,
         {},
         "only 2 of the 3 devices find a free address from 192.0.2.253 in its subnet /24"},
        {"without a mask, the devices' own subnet bounds the range: no broadcast, no next network",
         Request(0xC00002FDu, none, none, none, "simcam"),
         {c1, c2, c3},
         AssignOutcome::OutOfAddresses,
         {},
         "only 2 of the 3 devices find a free address from 192.0.2.253 in its subnet /24"},
        {"a device whose own mask is none: the range stays open, the plan's check names the mask",
         Request(0xC000020Au, none, none, none, "simcam-e"),
         {noMask},
         kAssigned,
         {"00:1A:2B:00:00:05 192.0.2.10"},
         ""},
        {"the unicast addresses run out, multicast being none",
         Request(0xDFFFFFFFu, none, none, none, "simcam-e"),
         {noMask, noMask2},
         AssignOutcome::OutOfAddresses,
         {},
         "only 1 of the 2 devices find a free address from 223.255.255.255"},
        {"no device's product matches",
         Request(0xC000020Au, none, none, none, "doorbell"),
         {c1, other},
         AssignOutcome::NoDevice,
         {},
         "none of the 2 devices that answered has a product name holding \"doorbell\""},
        {"no device at all",
         Request(0xC000020Au, none, none, none, ""),
         {},
         AssignOutcome::NoDevice,
         {},
         "no device answered the search, so there is nothing to plan"},
    };
    for (const AssignCase& c : cases) {
        Assignment assignment;
        std::string error;
        EXPECT_EQ(AssignAddresses(c.found, c.request, kOwnAdapters, AddressUse(), assignment, error), c.outcome)
            << c.name;
        std::string notes;
        for (const std::string& note : assignment.notes)
            notes += (notes.empty() ? "" : "; ") + note;
        EXPECT_EQ(c.outcome == kAssigned ? notes : error, c.says) << c.name;
        if (c.outcome != kAssigned)
            continue;
        const std::string plan = AssignmentCsv(assignment.rows);
        std::vector<CsvRecord> records;
        ASSERT_TRUE(ReadCsv(plan, records, error)) << c.name;
        EXPECT_EQ(records.front().fields, (std::vector<std::string>{"mac", "ip", "mask", "gateway", "dns", "mode"}));
        std::vector<std::string> rows;
        for (std::size_t i = 1; i < records.size(); ++i)
            rows.push_back(records[i].fields[0] + " " + records[i].fields[1] +
                           (records[i].fields[5].empty() ? "" : " " + records[i].fields[5]));
        EXPECT_EQ(rows, c.rows) << c.name;
        // What it writes reads back as the rows it made.
        const std::vector<PlanRow> read = Plan(plan);
        ASSERT_EQ(read.size(), assignment.rows.size()) << c.name;
        for (std::size_t i = 0; i < read.size(); ++i)
            EXPECT_EQ(read[i].change, assignment.rows[i].change) << c.name;
    }
}

TEST(Assign, StepsOverAddressesOtherHostsAnswerFor)
{
    const FoundDevice c1 = Device("00:1A:2B:00:00:01", "192.0.2.30");
    const FoundDevice c2 = Device("00:1a:2b:00:00:02", "192.0.2.11");  // sits on an address to give
    const FoundDevice c3 = Device("00:1A:2B:00:00:03", "192.0.2.32");
    const FoundDevice outsider = Device("00:1A:2B:00:00:09", "192.0.2.12", "Door");
    const char* bystander = "02:00:5e:10:00:07";
    const auto none = std::nullopt;
    const struct {
        const char* name;
        std::uint32_t first;
        AddressUse use;
        AssignOutcome outcome;
        std::vector<std::string> ips;
        std::vector<std::string> skipped;
    } cases[] = {
        {"a host on the range",
         0xC000020Au,
         Use({{"192.0.2.10", {}}, {"192.0.2.11", {"00:1A:2B:00:00:02", bystander}}, {"192.0.2.13", {bystander}}}),
         AssignOutcome::Assigned,
         {"192.0.2.10", "192.0.2.14", "192.0.2.15"},
         {"skipped 192.0.2.11: in use by 02:00:5E:10:00:07", "skipped 192.0.2.13: in use by 02:00:5E:10:00:07"}},
        {"a chosen device answering for its own address leaves it",
         0xC000020Au,
         Use({{"192.0.2.11", {"00:1A:2B:00:00:02"}}, {"192.0.2.10", {"00:1A:2B:00:00:03"}}}),
         AssignOutcome::Assigned,
         {"192.0.2.10", "192.0.2.11", "192.0.2.13"},
         {}},
        {"an address taken already is not told again",
         0xC000020Cu,
         Use({{"192.0.2.12", {"00:1A:2B:00:00:09", bystander}}}),
         AssignOutcome::Assigned,
         {"192.0.2.13", "192.0.2.14", "192.0.2.15"},
         {}},
        {"an address not probed is given",
         0xC000020Au,
         Use({}, {"192.0.2.10", "192.0.2.11"}),
         AssignOutcome::Assigned,
         {"192.0.2.10", "192.0.2.11", "192.0.2.13"},
         {}},
        {"hosts to the end of the subnet",
         0xC00002FBu,
         Use({{"192.0.2.251", {bystander}}, {"192.0.2.252", {bystander, "02:00:5E:10:00:08"}}}),
         AssignOutcome::OutOfAddresses,
         {},
         {"skipped 192.0.2.251: in use by 02:00:5E:10:00:07",
          "skipped 192.0.2.252: in use by 02:00:5E:10:00:07 and 02:00:5E:10:00:08"}},
    };
    const std::vector<FoundDevice> found = {c1, c2, c3, outsider};
    for (const auto& c : cases) {
        Assignment assignment;
        std::string error;
        EXPECT_EQ(AssignAddresses(found, Request(c.first, none, none, none, "simcam"), kOwnAdapters, c.use, assignment,
                                  error),
                  c.outcome)
            << c.name;
        std::vector<std::string> ips;
        for (const PlanRow& row : assignment.rows)
            ips.push_back(*row.change[static_cast<std::size_t>(Setting::Ip)]);
        EXPECT_EQ(assignment.skipped, c.skipped) << c.name;
        if (c.outcome != AssignOutcome::Assigned)
            continue;
        EXPECT_EQ(ips, c.ips) << c.name;
        // What it writes passes the dry run with the same knowledge, and
        // the addresses it could not probe that a device moves onto only
        // with --unprobed-ok (the device on 192.0.2.11 keeps it).
        EXPECT_EQ(FindPlanProblems(assignment.rows, found, kOwnAdapters, c.use, true).size(), 0u) << c.name;
        EXPECT_EQ(FindPlanProblems(assignment.rows, found, kOwnAdapters, c.use, false).size(),
                  UnprobedAddresses(assignment.rows, found, c.use).size())
            << c.name;
    }
}

// Whatever the assign rule cannot avoid, it refuses, so that a plan it
// writes passes its own dry run.
TEST(Assign, RefusesWhatTheDryRunWouldRefuse)
{
    const FoundDevice c1 = Device("00:1A:2B:00:00:01", "192.0.2.30", "SimCam");
    const auto none = std::nullopt;
    const struct {
        const char* name;
        AssignRequest request;
        std::string error;
    } cases[] = {
        {"a mask that is none", Request(0xC000020Au, 0xFF00FF00u, none, none, ""),
         "--mask 255.0.255.0 is not a subnet mask of 1 to 30 bits"},
        {"a mask of 31 bits", Request(0xC000020Au, 0xFFFFFFFEu, none, none, ""),
         "--mask 255.255.255.254 is not a subnet mask of 1 to 30 bits"},
        {"a gateway outside the subnet", Request(0xC000020Au, 0xFFFFFF00u, 0xC0000301u, none, ""),
         "--gateway 192.0.3.1 is outside the subnet 192.0.2.0/24 of 192.0.2.10"},
        {"0.0.0.0", Request(0, none, none, none, ""),
         "0.0.0.0 cannot be a device's address: give a first address outside 0.0.0.0/8, 127.0.0.0/8 and 224.0.0.0 "
         "and above"},
        {"loopback", Request(0x7F000001u, none, none, none, ""),
         "127.0.0.1 cannot be a device's address: give a first address outside 0.0.0.0/8, 127.0.0.0/8 and "
         "224.0.0.0 and above"},
        {"multicast", Request(0xE0000001u, none, none, none, ""),
         "224.0.0.1 cannot be a device's address: give a first address outside 0.0.0.0/8, 127.0.0.0/8 and "
         "224.0.0.0 and above"},
    };
    for (const auto& c : cases) {
        Assignment assignment;
        std::string error;
        EXPECT_EQ(AssignAddresses({c1}, c.request, kOwnAdapters, AddressUse(), assignment, error),
                  AssignOutcome::BadRequest)
            << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_TRUE(assignment.rows.empty()) << c.name;
    }

    // A MAC that answers from two addresses gets an address, and the plan's
    // check, which the command runs on every plan it writes, names it.
    const std::vector<FoundDevice> twice = {c1, Device("00:1A:2B:00:00:01", "192.0.2.31", "SimCam")};
    Assignment assignment;
    std::string error;
    ASSERT_EQ(AssignAddresses(twice, Request(0xC000020Au, none, none, none, ""), kOwnAdapters, AddressUse(), assignment,
                              error),
              AssignOutcome::Assigned);
    const std::vector<PlanProblem> problems =
        FindPlanProblems(assignment.rows, twice, kOwnAdapters, AddressUse(), false);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].text,
              "00:1A:2B:00:00:01: answered from 2 addresses (192.0.2.30, 192.0.2.31); it cannot be told which one is "
              "meant");
}

}  // namespace

namespace {

// What an operator typed comes back cut in a message, however long.
TEST(Assign, AHugeProductIsCutInTheMessage)
{
    Assignment assignment;
    std::string error;
    const std::string product(1 << 20, 'p');
    EXPECT_EQ(AssignAddresses({Device("00:1A:2B:00:00:01", "192.0.2.30")},
                              Request(0xC000020Au, std::nullopt, std::nullopt, std::nullopt, product.c_str()),
                              kOwnAdapters, AddressUse(), assignment, error),
              AssignOutcome::NoDevice);
    EXPECT_LT(error.size(), 400u);
    EXPECT_NE(error.find("(1048576 bytes)"), std::string::npos) << error;
}

}  // namespace
