// The probe's rules: the ARP frames it sends and what it takes from frames
// it hears, its schedule, what the system's own resolution can and cannot
// tell, and what nwctl probe prints. (Its operands: args_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "probe/address_use.h"
#include "probe/arp_frame.h"
#include "probe/neighbour_table.h"
#include "probe/probe_output.h"
#include "probe/probe_schedule.h"
#include "rules/resolution_rules.h"

namespace {

using std::chrono::milliseconds;

const MacAddress kOwn = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x01};
const MacAddress kHost = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x07};
const MacAddress kOther = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x08};
constexpr std::uint32_t kAddress = 0xC633641Fu;  // 198.51.100.31

TEST(ArpFrame, TheProbeCarriesNoAddressOfItsOwn)
{
    const ArpFrame frame = MakeArpProbe(kOwn, kAddress);
    const ArpFrame expected = {0x00, 0x01, 0x08, 0x00, 6,    4,    0x00, 0x01,  // Ethernet, IPv4, request
                               0x02, 0x00, 0x5E, 0x10, 0x00, 0x01,              // sender MAC
                               0,    0,    0,    0,                             // sender address 0.0.0.0
                               0,    0,    0,    0,    0,    0,                 // target MAC unknown
                               198,  51,   100,  31};
    EXPECT_EQ(frame, expected);
    // Another host's probe, like this one, says nothing of who holds what.
    EXPECT_FALSE(ArpFrameHolder(frame.data(), frame.size()));
}

std::vector<unsigned char> Answer(std::uint16_t operation, const MacAddress& mac, std::uint32_t address)
{
    ArpFrame frame = MakeArpProbe(mac, 0xC6336401u);
    frame[7] = static_cast<unsigned char>(operation);
    frame[6] = static_cast<unsigned char>(operation >> 8);
    for (int i = 0; i < 4; ++i)
        frame[14 + i] = static_cast<unsigned char>(address >> (24 - 8 * i));
    std::vector<unsigned char> bytes(frame.begin(), frame.end());
    bytes.resize(46);  // the Ethernet padding a real answer carries
    return bytes;
}

TEST(ArpFrame, HolderOfARequestOrReplyOnly)
{
    for (const std::uint16_t operation : {1, 2}) {
        const auto bytes = Answer(operation, kHost, kAddress);
        const auto holder = ArpFrameHolder(bytes.data(), bytes.size());
        ASSERT_TRUE(holder) << operation;
        EXPECT_EQ(holder->address, kAddress);
        EXPECT_EQ(holder->mac, kHost);
        EXPECT_TRUE(ArpFrameHolder(bytes.data(), kArpFrameBytes)) << "no padding is fine";
    }
    const std::vector<unsigned char> good = Answer(2, kHost, kAddress);
    const struct {
        const char* what;
        std::size_t at;
        unsigned char value;
    } spoilt[] = {
        {"hardware type not Ethernet", 1, 6},
        {"protocol not IPv4", 2, 0x86},
        {"hardware length 8", 4, 8},
        {"protocol length 16", 5, 16},
        {"operation 0", 7, 0},
        {"operation 3 (RARP)", 7, 3},
        {"operation 258", 6, 1},
        {"sender address 0.0.0.0", 17, 0},
        {"broadcast sender MAC", 8, 0xFF},
        {"multicast sender MAC", 8, 0x01},
    };
    for (const auto& c : spoilt) {
        std::vector<unsigned char> bytes = good;
        bytes[c.at] = c.value;
        if (std::string(c.what) == "sender address 0.0.0.0")
            std::fill(bytes.begin() + 14, bytes.begin() + 18, 0);
        if (std::string(c.what) == "broadcast sender MAC")
            std::fill(bytes.begin() + 8, bytes.begin() + 14, 0xFF);
        EXPECT_FALSE(ArpFrameHolder(bytes.data(), bytes.size())) << c.what;
    }
    std::vector<unsigned char> zeroMac = good;
    std::fill(zeroMac.begin() + 8, zeroMac.begin() + 14, 0);
    EXPECT_FALSE(ArpFrameHolder(zeroMac.data(), zeroMac.size())) << "zero sender MAC";
    for (std::size_t size = 0; size < kArpFrameBytes; ++size)
        EXPECT_FALSE(ArpFrameHolder(good.data(), size)) << size << " bytes";
    EXPECT_FALSE(ArpFrameHolder(nullptr, 64));
}

// Runs the schedule as the probe does, sending whatever is due at each
// moment it names; `answers(address, attempt)` gives the MACs that answer
// that probe at once. Returns every send as (time, address).
template <typename Answers>
std::vector<std::pair<long long, std::uint32_t>> RunSchedule(ProbeSchedule& schedule, Answers answers,
                                                             milliseconds limit = milliseconds(60000))
{
    std::vector<std::pair<long long, std::uint32_t>> sends;
    std::map<std::uint32_t, int> attempts;
    milliseconds now{0};
    while (!schedule.Done(now) && now < limit) {
        for (const std::uint32_t address : schedule.Take(now)) {
            schedule.Sent(address, now);
            sends.emplace_back(now.count(), address);
            for (const MacAddress& mac : answers(address, attempts[address]++))
                schedule.Heard(address, mac);
        }
        const milliseconds next = schedule.Next(now);
        EXPECT_GE(next, now);
        now = std::max(next, now + milliseconds(next == now ? 1 : 0));
    }
    EXPECT_LT(now, limit) << "the probe ends";
    return sends;
}

TEST(ProbeSchedule, AllTogetherRetriesOnlyTheUnansweredAndEndsAfterTheWait)
{
    ProbeTiming timing;  // 3 attempts 200 ms apart, a second's wait, 32 at once 5 ms apart
    const std::vector<std::uint32_t> addresses = {kAddress, kAddress + 1, kAddress + 2, kAddress};
    ProbeSchedule schedule(addresses, timing);
    const auto sends = RunSchedule(schedule, [&](std::uint32_t address, int attempt) -> std::vector<MacAddress> {
        if (address == kAddress)
            return {kHost};
        if (address == kAddress + 1 && attempt == 1)
            return {kOther, kHost};  // answers the second probe only, from two hosts
        return {};
    });
    const std::vector<std::pair<long long, std::uint32_t>> expected = {
        {0, kAddress},       {0, kAddress + 1},   {0, kAddress + 2},  // together, once each
        {200, kAddress + 1}, {200, kAddress + 2},                     // again, the unanswered
        {400, kAddress + 2}};
    EXPECT_EQ(sends, expected);
    EXPECT_FALSE(schedule.Done(milliseconds(1399)));
    EXPECT_TRUE(schedule.Done(milliseconds(1400))) << "a second after the last probe";
    AddressUse use;
    schedule.Record(use, "no probe could leave for it");
    EXPECT_EQ(*use.Answers(kAddress), std::vector<MacAddress>{kHost});
    EXPECT_EQ(*use.Answers(kAddress + 1), (std::vector<MacAddress>{kHost, kOther})) << "a conflict, both kept";
    EXPECT_TRUE(use.Answers(kAddress + 2)->empty()) << "free";
    EXPECT_TRUE(use.NotProbedAddresses().empty());
}

TEST(ProbeSchedule, EveryAddressAnsweredEndsAfterOneInterval)
{
    ProbeSchedule schedule({kAddress}, ProbeTiming{});
    const auto sends = RunSchedule(schedule, [](std::uint32_t, int) { return std::vector<MacAddress>{kHost}; });
    EXPECT_EQ(sends.size(), 1u);
    EXPECT_FALSE(schedule.Done(milliseconds(199)));
    EXPECT_TRUE(schedule.Done(milliseconds(200)));
    // An answer to a probe nobody asked for changes nothing.
    schedule.Heard(kAddress + 9, kOther);
    AddressUse use;
    schedule.Record(use, "no probe could leave for it");
    EXPECT_EQ(use.ProbedAddresses().size(), 1u);
}

TEST(ProbeSchedule, AThousandAddressesGoOutInPacedBatches)
{
    std::vector<std::uint32_t> addresses;
    for (std::uint32_t i = 0; i < 1024; ++i)
        addresses.push_back(0xC6330000u + i);
    ProbeTiming timing;
    ProbeSchedule schedule(addresses, timing);
    // A quarter answers.
    const auto sends = RunSchedule(schedule, [](std::uint32_t address, int) {
        return address % 4 == 0 ? std::vector<MacAddress>{kHost} : std::vector<MacAddress>{};
    });
    EXPECT_EQ(sends.size(), 256u + 768u * 3);
    std::map<long long, std::size_t> perMoment;
    for (const auto& send : sends)
        ++perMoment[send.first];
    long long previous = -timing.batchGap.count();
    for (const auto& [moment, count] : perMoment) {
        EXPECT_LE(count, timing.batch) << "at " << moment;
        EXPECT_GE(moment - previous, timing.batchGap.count()) << "at " << moment;
        previous = moment;
    }
    // A round of 1,024 takes 32 batches 5 ms apart; the third round of the
    // last ones ends the sending, a second before the end.
    EXPECT_EQ(sends.back().first, 155 + 2 * 200);
    EXPECT_TRUE(schedule.Done(milliseconds(1555)));
    AddressUse use;
    schedule.Record(use, "no probe could leave for it");
    EXPECT_EQ(use.ProbedAddresses().size(), 1024u);
}

TEST(ProbeSchedule, AProbeThatCannotLeaveIsNotProbedAndAFullQueueWaits)
{
    ProbeTiming timing;
    timing.batch = 2;
    ProbeSchedule schedule({kAddress, kAddress + 1, kAddress + 2, kAddress}, timing);
    EXPECT_EQ(schedule.Size(), 3u);
    std::vector<std::uint32_t> taken = schedule.Take(milliseconds(0));
    ASSERT_EQ(taken, (std::vector<std::uint32_t>{kAddress, kAddress + 1}));
    schedule.Failed(kAddress);
    schedule.Again(kAddress + 1);
    EXPECT_EQ(schedule.Started(), 1u) << "the failed one is over; the one held back has not started";
    EXPECT_TRUE(schedule.Take(milliseconds(4)).empty()) << "the batch gap holds";
    EXPECT_EQ(schedule.Next(milliseconds(4)), milliseconds(5));
    taken = schedule.Take(milliseconds(5));
    ASSERT_EQ(taken, (std::vector<std::uint32_t>{kAddress + 1, kAddress + 2})) << "the one held back first";
    for (const std::uint32_t address : taken)
        schedule.Sent(address, milliseconds(5));
    EXPECT_EQ(schedule.Started(), 3u);
    EXPECT_EQ(schedule.Unsent(), 1u);
    AddressUse use;
    schedule.Record(use, "no probe could leave for it");
    EXPECT_EQ(use.NotProbedAddresses(), std::vector<std::uint32_t>{kAddress});
    ASSERT_NE(use.WhyNotProbed(kAddress), nullptr);
    EXPECT_EQ(*use.WhyNotProbed(kAddress), "no probe could leave for it");
    EXPECT_EQ(use.WhyNotProbed(kAddress + 1), nullptr) << "probed";
    EXPECT_EQ(use.ProbedAddresses().size(), 2u);
}

TEST(ProbeSchedule, NothingToProbeIsDoneAtOnce)
{
    ProbeSchedule schedule({}, ProbeTiming{});
    EXPECT_TRUE(schedule.Done(milliseconds(0)));
}

Adapter Lan(const char* name, std::uint32_t address, std::uint32_t mask)
{
    return Adapter{name, address, mask, 2, false, std::nullopt};
}

TEST(Resolution, OnLinkOnlyOnAnAdaptersSubnetAndNotItsEnds)
{
    const std::vector<Adapter> adapters = {Lan("lan0", 0xC6336401u, 0xFFFFFF80u),   // 198.51.100.1/25
                                           Lan("lan1", 0xC633640Bu, 0xFFFFFFFFu)};  // 198.51.100.11/32
    const struct {
        std::uint32_t address;
        const char* adapter;  // null: off every subnet
    } cases[] = {
        {0xC6336402u, "lan0"},  {0xC633647Eu, "lan0"},  {0xC63364C8u, nullptr},  // .200: the upper half
        {0xC6336400u, nullptr}, {0xC633647Fu, nullptr},                          // network, broadcast
        {0xC6336401u, nullptr},                                                  // its own
        {0xC633640Bu, nullptr},                                                  // lan1's own, /32
        {0xC6336501u, nullptr},
    };
    for (const auto& c : cases) {
        const Adapter* adapter = OnLinkAdapter(adapters, c.address);
        EXPECT_EQ(adapter ? adapter->name : "-", c.adapter ? c.adapter : "-") << std::hex << c.address;
    }
    const std::vector<Adapter> pointToPoint = {Lan("ptp", 0xC6336410u, 0xFFFFFFFEu)};
    EXPECT_NE(OnLinkAdapter(pointToPoint, 0xC6336411u), nullptr) << "a /31's other end";
}

TEST(Resolution, TargetsAskFromTheAdapterWhoseSubnetHoldsThemAndTakeThisComputersOwnAtOnce)
{
    Adapter loopback = Lan("lo", 0x7F000001u, 0xFF000000u);
    loopback.loopback = true;
    const std::vector<Adapter> adapters = {loopback, Lan("lan0", 0xC6336401u, 0xFFFFFF80u),  // 198.51.100.1/25
                                           Lan("lan1", 0xC6336481u, 0xFFFFFF80u)};           // 198.51.100.129/25
    const MacAddress lan0Mac = {0x02, 0, 0, 0, 0, 1};
    AddressUse use;
    const ResolutionTargets targets =
        ResolutionTargetsOf(adapters, {0xC63364C8u, 0xC6336405u, 0x7F000002u, 0xC6336401u, 0xC6336405u, 0xC6336500u},
                            {{0xC6336401u, lan0Mac}}, use);
    ASSERT_EQ(targets.lan.size(), 2u) << "the loopback adapter reaches no LAN";
    ASSERT_EQ(targets.onLink.size(), 2u) << "each address once, ascending";
    EXPECT_EQ(targets.onLink[0].address, 0xC6336405u);
    EXPECT_EQ(targets.onLink[0].from, 0xC6336401u);
    EXPECT_EQ(targets.onLink[1].address, 0xC63364C8u);
    EXPECT_EQ(targets.onLink[1].from, 0xC6336481u);
    EXPECT_EQ(targets.offLink, (std::vector<std::uint32_t>{0x7F000002u, 0xC6336500u}));
    ASSERT_NE(use.Answers(0xC6336401u), nullptr);
    EXPECT_EQ(*use.Answers(0xC6336401u), std::vector<MacAddress>{lan0Mac}) << "this computer's own is taken";
    EXPECT_EQ(use.Answers(0xC6336405u), nullptr) << "the rest is left to the system";
}

TEST(Resolution, SendArpResultsNeverGuessFreeAndSayWhyNot)
{
    constexpr char kNotAvailable[] = "SendARP is not available on this system, as under Wine";
    const struct {
        std::uint32_t code;
        std::uint32_t length;
        Resolution resolution;
        const char* why;
    } cases[] = {
        {0, 6, Resolution::Answered, ""},
        {0, 0, Resolution::CouldNotProbe, "SendARP gave a hardware address of 0 bytes, not a MAC"},
        {0, 8, Resolution::CouldNotProbe, "SendARP gave a hardware address of 8 bytes, not a MAC"},
        {67, 0, Resolution::NoAnswer, ""},
        {31, 0, Resolution::NoAnswer, ""},
        {50, 0, Resolution::NotAvailable, kNotAvailable},  // Wine's stub
        {120, 0, Resolution::CouldNotProbe, "SendARP failed with error 120"},
        {1168, 0, Resolution::CouldNotProbe, "SendARP failed with error 1168"},
        {87, 0, Resolution::CouldNotProbe, "SendARP failed with error 87"},
        {111, 0, Resolution::CouldNotProbe, "SendARP failed with error 111"},
        {1784, 0, Resolution::CouldNotProbe, "SendARP failed with error 1784"},
        {12345, 6, Resolution::CouldNotProbe, "SendARP failed with error 12345"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SendArpResolution(c.code, c.length), c.resolution) << c.code << " " << c.length;
        EXPECT_EQ(SendArpWhy(c.code, c.length), c.why) << c.code << " " << c.length;
    }
}

TEST(Resolution, LimitsNameTheAddressesWhyAndWhatWouldProbeThem)
{
    const std::vector<Adapter> adapters = {Lan("lan0", 0xC6336401u, 0xFFFFFF80u)};
    std::vector<std::uint32_t> offLink;
    for (std::uint32_t i = 0; i < 10; ++i)
        offLink.push_back(0xC63364D2u - i);  // 198.51.100.201 to .210, backwards
    const std::string limit = NoRawRightLimit(offLink, adapters);
    EXPECT_EQ(limit.rfind("10 addresses could not be probed (on no subnet of lan0 198.51.100.1/25): 198.51.100.201, "
                          "198.51.100.202, ",
                          0),
              0u)
        << limit;
    EXPECT_NE(limit.find("198.51.100.208 and 2 more. "), std::string::npos) << limit;
    EXPECT_NE(limit.find("two hosts on one address show as one of them"), std::string::npos) << limit;
    EXPECT_NE(limit.find("sudo setcap cap_net_raw+ep $(command -v nwctl)"), std::string::npos) << limit;
    const std::string onLinkOnly = NoRawRightLimit({}, adapters);
    EXPECT_EQ(onLinkOnly.find("could not be probed"), std::string::npos) << "every address probed";
    EXPECT_NE(onLinkOnly.find("setcap"), std::string::npos) << "but conflicts unseen: " << onLinkOnly;

    AddressUse use;
    use.NotProbed(0xC63364C8u, NotOnLinkWhy(adapters));
    use.NotProbed(0xC6336403u, SendArpWhy(50, 0));
    use.NotProbed(0xC6336402u, SendArpWhy(50, 0));
    use.NotProbed(0xC6336404u, SendArpWhy(1168, 0));
    const std::string windows = WindowsLimit(use);
    EXPECT_EQ(windows.rfind("2 addresses could not be probed (SendARP is not available on this system, as under Wine): "
                            "198.51.100.2, 198.51.100.3; 1 address could not be probed (SendARP failed with error "
                            "1168): 198.51.100.4; 1 address could not be probed (not on-link from any adapter of this "
                            "computer: lan0 198.51.100.1/25): 198.51.100.200. ",
                            0),
              0u)
        << windows;
    EXPECT_NE(windows.find("two hosts on one address show as one of them"), std::string::npos) << windows;
    EXPECT_EQ(WindowsLimit(AddressUse()).find("could not be probed"), std::string::npos);
    // A hostile adapter name reaches the terminal made safe.
    EXPECT_EQ(SubnetsText({Lan("\x1b[2J", 0xC6336401u, 0xFF00FF00u)}), "\\x1B[2J 198.51.100.1/255.0.255.0");
    EXPECT_EQ(NotProbedText({{{}, "nothing"}}), "");
}

TEST(NeighbourTable, OnlyCompleteEntriesWithAMac)
{
    const char table[] =
        "IP address       HW type     Flags       HW address            Mask     Device\n"
        "198.51.100.31    0x1         0x2         02:00:5e:10:00:07     *        lan0\n"
        "198.51.100.32    0x1         0x0         00:00:00:00:00:00     *        lan0\n"  // incomplete, failed
        "198.51.100.33    0x1         0x6         02:00:5e:10:00:08     *        lan0\n"  // permanent too
        "198.51.100.34    0x1         0x2         00:00:00:00:00:00     *        lan0\n"
        "198.51.100.35    0x1         0xZ         02:00:5e:10:00:09     *        lan0\n"
        "198.51.100.36    0x1         0x2         02:00:5e:10:00        *        lan0\n"
        "198.51.100.37    0x1         0x2         02:00:5e:10:00:0a     *\n"
        "198.51.100.31    0x1         0x2         02:00:5e:10:00:0b     *        lan1\n"
        "garbage\n"
        "198.51.100.38\t0x1\t0x2\t02:00:5e:10:00:0c\t*\tlan0";  // no line end at the end
    const std::map<std::uint32_t, MacAddress> expected = {
        {0xC633641Fu, kHost},
        {0xC6336421u, {0x02, 0x00, 0x5E, 0x10, 0x00, 0x08}},
        {0xC6336426u, {0x02, 0x00, 0x5E, 0x10, 0x00, 0x0C}},
    };
    EXPECT_EQ(ResolvedNeighbours(table), expected);
    EXPECT_TRUE(ResolvedNeighbours("").empty());
}

// This computer's own addresses are named so in the table, not by a MAC the
// operator would have to look up; CSV and JSON keep the MAC and say it too.
TEST(ProbeReport, EachAddressWithItsStateInEveryFormat)
{
    AddressUse use;
    use.Probed(kAddress + 2, {});
    use.Probed(kAddress, {kOther, kHost, kOther});
    use.Probed(kAddress + 1, {kHost});
    use.NotProbed(kAddress + 3, "not reached");
    use.Probed(kAddress + 4, {kOwn});
    use.Probed(kAddress + 5, {kOther, kOwn});
    // kOwn at .33 is no address of this computer's: a MAC only.
    use.Probed(kAddress + 6, {kOwn});
    const std::map<std::uint32_t, MacAddress> own = {{kAddress + 4, kOwn}, {kAddress + 5, kOwn}};
    EXPECT_EQ(FormatProbe(use, own, OutputFormat::Table),
              "address        state       macs\n"
              "198.51.100.31  conflict    02:00:5E:10:00:07 02:00:5E:10:00:08\n"
              "198.51.100.32  used        02:00:5E:10:00:07\n"
              "198.51.100.33  free        -\n"
              "198.51.100.34  not-probed  -\n"
              "198.51.100.35  used        this computer\n"
              "198.51.100.36  conflict    this computer 02:00:5E:10:00:08\n"
              "198.51.100.37  used        02:00:5E:10:00:01\n");
    EXPECT_EQ(FormatProbe(use, own, OutputFormat::Csv),
              "address,state,macs,this_computer\n"
              "198.51.100.31,conflict,02:00:5E:10:00:07 02:00:5E:10:00:08,\n"
              "198.51.100.32,used,02:00:5E:10:00:07,\n"
              "198.51.100.33,free,,\n"
              "198.51.100.34,not-probed,,\n"
              "198.51.100.35,used,02:00:5E:10:00:01,02:00:5E:10:00:01\n"
              "198.51.100.36,conflict,02:00:5E:10:00:01 02:00:5E:10:00:08,02:00:5E:10:00:01\n"
              "198.51.100.37,used,02:00:5E:10:00:01,\n");
    EXPECT_EQ(FormatProbe(use, own, OutputFormat::Json),
              "[\n"
              "  {\"address\": \"198.51.100.31\", \"state\": \"conflict\", \"macs\": [\"02:00:5E:10:00:07\", "
              "\"02:00:5E:10:00:08\"], \"this_computer\": null},\n"
              "  {\"address\": \"198.51.100.32\", \"state\": \"used\", \"macs\": [\"02:00:5E:10:00:07\"], "
              "\"this_computer\": null},\n"
              "  {\"address\": \"198.51.100.33\", \"state\": \"free\", \"macs\": [], \"this_computer\": null},\n"
              "  {\"address\": \"198.51.100.34\", \"state\": \"not-probed\", \"macs\": [], \"this_computer\": null},\n"
              "  {\"address\": \"198.51.100.35\", \"state\": \"used\", \"macs\": [\"02:00:5E:10:00:01\"], "
              "\"this_computer\": \"02:00:5E:10:00:01\"},\n"
              "  {\"address\": \"198.51.100.36\", \"state\": \"conflict\", \"macs\": [\"02:00:5E:10:00:01\", "
              "\"02:00:5E:10:00:08\"], \"this_computer\": \"02:00:5E:10:00:01\"},\n"
              "  {\"address\": \"198.51.100.37\", \"state\": \"used\", \"macs\": [\"02:00:5E:10:00:01\"], "
              "\"this_computer\": null}\n"
              "]\n");
    EXPECT_EQ(ProbeSummary(CountProbe(use)), "7 addresses: 3 used, 2 conflicts, 1 free, 1 not probed");
    EXPECT_EQ(FormatProbe(AddressUse(), {}, OutputFormat::Json), "[]\n");
}

}  // namespace
