// Addresses that could not be probed: which of a plan's they are, what a
// refusal, --unprobed-ok and check say of them, and how the verification
// after plan --apply tells a device at one from a verified one.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "address_use_fixture.h"
#include "rules/unprobed_rules.h"
#include "rules/verification_rules.h"
#include "search_reply.h"

namespace {

std::vector<PlanRow> Plan(const std::string& csv)
{
    std::vector<PlanRow> rows;
    std::vector<std::string> errors;
    EXPECT_TRUE(ReadPlan(csv, rows, errors)) << (errors.empty() ? "" : errors.front());
    return rows;
}

TEST(Unprobed, TheAddressesDevicesMoveOntoThatCouldNotBeProbedAscendingOnce)
{
    const std::vector<FoundDevice> found = {{SearchReply("00:1A:2B:00:00:01", "192.0.2.10", "Cam"), "lan0"},
                                            {SearchReply("00:1A:2B:00:00:02", "192.0.2.11", "Cam"), "lan0"},
                                            {SearchReply("00:1A:2B:00:00:03", "192.0.2.12", "Cam"), "lan0"}};
    // Device 2 keeps its address (nobody new goes onto it), device 3 goes
    // to DHCP (no address to hold), device 4 was not found, and
    // 192.0.2.41 was probed.
    const std::vector<PlanRow> plan = Plan(
        "mac,ip,mode,web_port\n00:1A:2B:00:00:01,192.0.2.40,,\n00:1A:2B:00:00:02,,,81\n00:1A:2B:00:00:03,,dhcp,\n"
        "00:1A:2B:00:00:04,192.0.2.30,,\n");
    const AddressUse use = Use({}, {"192.0.2.40", "192.0.2.11", "192.0.2.12", "192.0.2.30", "192.0.2.99"});
    EXPECT_EQ(UnprobedAddresses(plan, found, use), (std::vector<std::uint32_t>{0xC0000228u}));
    EXPECT_TRUE(UnprobedAddresses(plan, found, Use({{"192.0.2.40", {}}})).empty());
}

TEST(Unprobed, TheRefusalSaysHowToGoOnAndTheOptionWhatItTookAsFree)
{
    EXPECT_EQ(UnprobedAdvice(0), "");
    EXPECT_EQ(UnprobedAdvice(1), ". To take the address that could not be probed as free, give --unprobed-ok");
    EXPECT_EQ(UnprobedAdvice(13), ". To take the 13 addresses that could not be probed as free, give --unprobed-ok");

    EXPECT_EQ(TakenAsFreeText({}), "");
    EXPECT_EQ(TakenAsFreeText({0xC6336432u}),
              "--unprobed-ok: taken as free, though it could not be probed: 198.51.100.50");
    std::vector<std::uint32_t> many;
    for (std::uint32_t i = 0; i < 10; ++i)
        many.push_back(0xC6336432u + i);
    EXPECT_EQ(TakenAsFreeText(many),
              "--unprobed-ok: taken as free, though they could not be probed: 198.51.100.50, 198.51.100.51, "
              "198.51.100.52, 198.51.100.53, 198.51.100.54, 198.51.100.55, 198.51.100.56, 198.51.100.57 and 2 more");
}

TEST(Unprobed, CheckNamesEachReasonWithItsAddresses)
{
    AddressUse use;
    use.NotProbed(0xC63364C8u, "on no subnet of lan0 198.51.100.1/25");
    use.NotProbed(0xC6336402u, "the system would not send to it: Network is unreachable");
    use.NotProbed(0xC63364C9u, "on no subnet of lan0 198.51.100.1/25");
    EXPECT_EQ(NothingToReportBut(use),
              "nothing to report, but 1 address could not be probed (the system would not send to it: Network is "
              "unreachable): 198.51.100.2; 2 addresses could not be probed (on no subnet of lan0 198.51.100.1/25): "
              "198.51.100.200, 198.51.100.201: another host on one of these addresses would not show");
}

TEST(Verification, AnAddressNotProbedIsNeverPlainlyVerified)
{
    const MacAddress other = *ParseMac("02:00:5E:10:00:07");
    const std::vector<SettingDifference> left = {{Setting::WebPort, "80", "81"}};
    const struct {
        const char* name;
        DeviceAfter after;
        bool verified;
        bool probed;
        const char* text;
    } cases[] = {
        {"probed and alone", {true, {}, 0xC6336428u, true, std::vector<MacAddress>{}}, true, true, "verified"},
        {"not probed", {true, {}, 0xC6336428u, false, std::nullopt}, true, false, "verified, address not probed"},
        {"another host on it",
         {true, {}, 0xC6336428u, true, std::vector<MacAddress>{other}},
         false,
         true,
         "NOT verified: 198.51.100.40 is in use by 02:00:5E:10:00:07 too"},
        {"not probed, but the search heard another device on it",
         {true, {}, 0xC6336428u, false, std::vector<MacAddress>{other}},
         false,
         false,
         "NOT verified: 198.51.100.40 is in use by 02:00:5E:10:00:07 too"},
        {"not answered",
         {false, {}, std::nullopt, false, std::nullopt},
         false,
         false,
         "NOT verified: it did not answer the search once"},
        {"values left, not probed",
         {true, left, 0xC6336428u, false, std::nullopt},
         false,
         false,
         "NOT verified: it shows web_port 80 -> 81"},
        {"values left and another host on it",
         {true, left, 0xC6336428u, true, std::vector<MacAddress>{other}},
         false,
         true,
         "NOT verified: it shows web_port 80 -> 81; 198.51.100.40 is in use by 02:00:5E:10:00:07 too"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Verified(c.after), c.verified) << c.name;
        EXPECT_EQ(Probed(c.after), c.probed) << c.name;
        EXPECT_EQ(VerificationText(c.after), c.text) << c.name;
    }
}

TEST(Verification, TheOthersOnAnAddressAreWhomTheProbeAndTheSearchHeardThereButTheDevice)
{
    const MacAddress self = *ParseMac("00:1A:2B:00:00:01");
    const MacAddress pc = *ParseMac("02:00:5E:10:00:07");
    const MacAddress camera = *ParseMac("00:1A:2B:00:30:01");
    const std::vector<MacAddress> probedSelf = {self}, probedNobody = {}, probedPc = {self, pc};
    const std::set<MacAddress> searchedSelf = {self}, searchedCamera = {self, camera};
    const struct {
        const char* name;
        const std::vector<MacAddress>* probed;
        const std::set<MacAddress>* searched;
        std::optional<std::vector<MacAddress>> others;
    } cases[] = {
        {"not probed, searched alone", nullptr, &searchedSelf, std::nullopt},
        {"not probed, not searched", nullptr, nullptr, std::nullopt},
        {"probed, only itself", &probedSelf, &searchedSelf, std::vector<MacAddress>{}},
        {"probed, nobody answered", &probedNobody, nullptr, std::vector<MacAddress>{}},
        {"a PC answers the probe", &probedPc, &searchedSelf, std::vector<MacAddress>{pc}},
        {"not probed, another device answers the search", nullptr, &searchedCamera, std::vector<MacAddress>{camera}},
        {"both heard, each once", &probedPc, &searchedCamera, std::vector<MacAddress>{camera, pc}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OthersOnAddress(self, c.probed, c.searched), c.others) << c.name;
}

TEST(Verification, TheSummarySaysHowManyWereAtAddressesNotProbed)
{
    EXPECT_EQ(ApplySummary(14, 0, 14, "site-1.audit.jsonl"),
              "14 of 14 devices applied and verified; audit log "
              "site-1.audit.jsonl");
    EXPECT_EQ(ApplySummary(13, 13, 14, "a.jsonl"),
              "13 of 14 devices applied and verified, 13 of them at addresses that could not be probed; audit log "
              "a.jsonl");
    EXPECT_EQ(ApplySummary(1, 1, 2, "a.jsonl"),
              "1 of 2 devices applied and verified, 1 of them at an address that could not be probed; audit log "
              "a.jsonl");
}

}  // namespace
