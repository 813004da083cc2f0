// The order of a plan's Saves: chains, circles through a temporary address,
// and what a failed Save holds back.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "address_use_fixture.h"
#include "device/change_record.h"
#include "ipv4_text.h"
#include "record_bytes.h"
#include "rules/apply_order.h"
#include "rules/plan_rules.h"
#include "search_reply.h"
#include "text_field.h"

namespace {

// The devices of a test: MAC 00:1A:2B:00:00:NN, where they are now, in
// 192.0.2.0/24 unless their mask says otherwise (gateway 192.0.2.1, DNS
// 192.0.2.2), static unless `dhcp`.
struct Now {
    int n;
    const char* ip;
    const char* mask = "255.255.255.0";
    bool dhcp = false;
};

std::string Mac(int n)
{
    return "00:1A:2B:00:00:" + std::string(n < 10 ? "0" : "") + std::to_string(n);
}

struct Fixture {
    std::vector<FoundDevice> found;
    std::vector<PlanRow> plan;
    std::vector<PlannedDevice> devices;

    // `csv`: the plan, with a mac column holding device numbers.
    Fixture(const std::vector<Now>& now, const std::string& csv)
    {
        for (const Now& device : now) {
            FoundDevice& added = found.emplace_back(FoundDevice{SearchReply(Mac(device.n), device.ip, "Cam"), "lan0"});
            PutField(added.record.subnetMask, device.mask);
            added.record.dhcp = device.dhcp ? 1 : 0;
        }
        std::vector<std::string> errors;
        EXPECT_TRUE(ReadPlan(csv, plan, errors)) << (errors.empty() ? "" : errors.front());
        devices = PlannedDevices(plan, found);
    }

    // The steps as their plan lines: "2", "3 after 2", "2 via 192.0.2.3".
    std::vector<std::string> Steps(const SaveOrder& order) const
    {
        std::vector<std::string> steps;
        for (const SaveStep& step : order.steps) {
            std::string text = std::to_string(devices[step.device].row->line);
            if (step.temporary)
                text += " via " + FormatIPv4(*step.temporary);
            for (const SaveWait& wait : step.waits)
                text += " after " + std::to_string(devices[order.steps[wait.step].device].row->line);
            steps.push_back(text);
        }
        return steps;
    }
};

const std::vector<Adapter> kOwn = {
    {"lan0", *ParseIPv4("192.0.2.250"), *ParseIPv4("255.255.255.0"), 1, false, std::nullopt}};

struct OrderCase {
    const char* name;
    std::vector<Now> now;
    const char* plan;
    AddressUse use;
    std::vector<std::string> steps;
    std::vector<std::string> unprobed;
};

TEST(SaveOrder, EachDeviceMovesOnlyOnceTheHolderOfItsAddressHasLeft)
{
    const OrderCase cases[] = {
        {"onto a free address, in the plan's order",
         {{1, "192.0.2.10"}, {2, "192.0.2.11"}},
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.20\n00:1A:2B:00:00:02,192.0.2.21\n",
         {},
         {"2", "3"},
         {}},
        {"a chain: the last holder first",
         {{1, "192.0.2.10"}, {2, "192.0.2.11"}, {3, "192.0.2.12"}},
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.12\n00:1A:2B:00:00:03,192.0.2.13\n",
         {},
         {"4", "3 after 4", "2 after 3"},
         {}},
        {"a swap goes through the first free address, past the gateway and DNS server",
         {{1, "192.0.2.10"}, {2, "192.0.2.11"}},
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.10\n",
         {},
         {"2 via 192.0.2.3", "3 after 2", "2 after 3"},
         {"192.0.2.3"}},
        {"a circle of three: the first of it in the plan's order goes through",
         {{1, "192.0.2.10"}, {2, "192.0.2.11"}, {3, "192.0.2.12"}},
         "mac,ip\n00:1A:2B:00:00:02,192.0.2.12\n00:1A:2B:00:00:03,192.0.2.10\n00:1A:2B:00:00:01,192.0.2.11\n",
         {},
         {"2 via 192.0.2.3", "4 after 2", "3 after 4", "2 after 3"},
         {"192.0.2.3"}},
        {"the temporary address passes over hosts, this computer, planned and found addresses",
         {{1, "192.0.2.10"}, {2, "192.0.2.11"}, {3, "192.0.2.5"}},
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.10\n00:1A:2B:00:00:03,192.0.2.6\n",
         Use({{"192.0.2.3", {"02:00:5e:10:00:07"}}, {"192.0.2.4", {"02:00:5e:10:00:08"}}, {"192.0.2.7", {}}}),
         {"4", "2 via 192.0.2.7", "3 after 2", "2 after 3"},
         {}},
        {"devices free to go first, a device leaving for dhcp before the one that moves onto its address",
         {{1, "192.0.2.10"}, {2, "192.0.2.11"}, {4, "192.0.2.20"}, {5, "192.0.2.30"}},
         "mac,ip,mode\n00:1A:2B:00:00:01,192.0.2.11,\n00:1A:2B:00:00:02,192.0.2.10,\n"
         "00:1A:2B:00:00:04,192.0.2.30,\n00:1A:2B:00:00:05,,dhcp\n",
         {},
         {"5", "4 after 5", "2 via 192.0.2.3", "3 after 2", "2 after 3"},
         {"192.0.2.3"}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Fixture fixture(c.now, c.plan);
        const SaveOrder order = OrderSaves(fixture.devices, fixture.found, kOwn, c.use);
        EXPECT_TRUE(order.problems.empty()) << order.problems.front().text;
        EXPECT_EQ(fixture.Steps(order), c.steps);
        std::vector<std::string> unprobed;
        for (const std::uint32_t address : order.unprobed)
            unprobed.push_back(FormatIPv4(address));
        EXPECT_EQ(unprobed, c.unprobed);
    }
}

TEST(SaveOrder, TheDryRunNamesEachWaitAndEachTemporaryAddress)
{
    const Fixture fixture({{1, "192.0.2.10"}, {2, "192.0.2.11"}, {3, "192.0.2.12"}},
                          "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.10\n"
                          "00:1A:2B:00:00:03,192.0.2.40\n");
    EXPECT_EQ(OrderSaves(fixture.devices, fixture.found, kOwn, {}).notes,
              (std::vector<std::string>{
                  "line 2: 00:1A:2B:00:00:01 goes through 192.0.2.3 first: it moves onto 192.0.2.11, held by "
                  "00:1A:2B:00:00:02, in a circle of 2 devices that each wait for the next to leave",
                  "line 3 after line 2: 00:1A:2B:00:00:02 moves onto 192.0.2.10 once 00:1A:2B:00:00:01 has left it",
                  "line 2 after line 3: 00:1A:2B:00:00:01 moves onto 192.0.2.11 once 00:1A:2B:00:00:02 has left it"}));
}

TEST(SaveOrder, WhatNoOrderSolvesIsAProblem)
{
    struct ProblemCase {
        const char* name;
        std::vector<Now> now;
        const char* plan;
        PlanProblem problem;
    };
    const ProblemCase cases[] = {
        {"a swap in a /30 has no address to go through",
         {{1, "192.0.2.5", "255.255.255.252"}, {2, "192.0.2.6", "255.255.255.252"}},
         "mac,ip\n00:1A:2B:00:00:01,192.0.2.6\n00:1A:2B:00:00:02,192.0.2.5\n",
         {2,
          "00:1A:2B:00:00:01: no free temporary address in its subnet 192.0.2.4/30 to go through, and it moves "
          "onto 192.0.2.6, held by 00:1A:2B:00:00:02, in a circle of 2 devices that each wait for the next to "
          "leave"}},
        {"a device in dhcp mode keeps its address",
         {{1, "192.0.2.10"}, {2, "192.0.2.11", "255.255.255.0", true}},
         "mac,ip,web_port\n00:1A:2B:00:00:01,192.0.2.11,\n00:1A:2B:00:00:02,,81\n",
         {2, "00:1A:2B:00:00:01: ip 192.0.2.11 is held by 00:1A:2B:00:00:02 (line 3), which keeps it"}},
    };
    for (const ProblemCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Fixture fixture(c.now, c.plan);
        const SaveOrder order = OrderSaves(fixture.devices, fixture.found, kOwn, {});
        ASSERT_EQ(order.problems.size(), 1u);
        EXPECT_EQ(order.problems[0].line, c.problem.line);
        EXPECT_EQ(order.problems[0].text, c.problem.text);
    }
}

// A device stands on its temporary address as on a planned one: one the
// probe could not reach is unknown, not free.
TEST(SaveOrder, ATemporaryAddressNotProbedIsAProblemOfItsRow)
{
    const Fixture fixture({{1, "192.0.2.10"}, {2, "192.0.2.11"}},
                          "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.10\n");
    const AddressUse probed = Use({{"192.0.2.3", {}}});
    const SaveOrder free = OrderSaves(fixture.devices, fixture.found, kOwn, probed);
    EXPECT_TRUE(UnprobedTemporaries(free, probed).empty());
    EXPECT_TRUE(UnprobedTemporaryProblems(fixture.devices, free, probed).empty());

    const AddressUse unknown = Use({}, {"192.0.2.3"});
    const SaveOrder order = OrderSaves(fixture.devices, fixture.found, kOwn, unknown);
    EXPECT_TRUE(order.unprobed.empty());
    EXPECT_EQ(UnprobedTemporaries(order, unknown), std::vector<std::uint32_t>{*ParseIPv4("192.0.2.3")});
    const std::vector<PlanProblem> problems = UnprobedTemporaryProblems(fixture.devices, order, unknown);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[0].text,
              "00:1A:2B:00:00:01: its temporary address 192.0.2.3 could not be probed (not "
              "reached): whether another host holds it is unknown");
}

TEST(SaveOrder, TheSaveToATemporaryAddressMakesTheDeviceStatic)
{
    // A device in dhcp mode would keep its lease and stay on the address
    // the circle waits for.
    DISCOVERY_DATA record = SearchReply(Mac(1), "192.0.2.10", "Cam");
    record.dhcp = 1;
    const DISCOVERY_DATA sent = BuildChangeRecord(record, TemporaryChange(*ParseIPv4("192.0.2.3")), "admin", "admin");
    EXPECT_EQ(sent.dhcp, 0);
    EXPECT_EQ(ReadTextField(sent.ipAddress), "192.0.2.3");
    EXPECT_EQ(ReadTextField(sent.subnetMask), "255.255.255.0");
    EXPECT_EQ(ReadTextField(sent.gateway), "192.0.2.1");
}

TEST(SaveOrder, AFailedSaveHoldsBackEverySaveThatWaitsForIt)
{
    // A chain 2 <- 3 <- 4 and a device on its own (5); the one at the end
    // of the chain fails.
    const Fixture fixture({{1, "192.0.2.10"}, {2, "192.0.2.11"}, {3, "192.0.2.12"}, {4, "192.0.2.50"}},
                          "mac,ip\n00:1A:2B:00:00:01,192.0.2.11\n00:1A:2B:00:00:02,192.0.2.12\n"
                          "00:1A:2B:00:00:03,192.0.2.13\n00:1A:2B:00:00:04,192.0.2.51\n");
    const SaveOrder order = OrderSaves(fixture.devices, fixture.found, kOwn, {});
    ASSERT_EQ(fixture.Steps(order), (std::vector<std::string>{"4", "3 after 4", "2 after 3", "5"}));
    std::vector<bool> succeeded;
    std::vector<std::string> held;
    for (const SaveStep& step : order.steps) {
        const int line = fixture.devices[step.device].row->line;
        const SaveWait* wait = UnmetWait(step, succeeded);
        if (wait)
            held.push_back(std::to_string(line) + " for " + FormatIPv4(wait->address));
        succeeded.push_back(!wait && line != 4);
    }
    EXPECT_EQ(held, (std::vector<std::string>{"3 for 192.0.2.12", "2 for 192.0.2.11"}));
    EXPECT_EQ(succeeded, (std::vector<bool>{false, false, false, true}));
}

}  // namespace
