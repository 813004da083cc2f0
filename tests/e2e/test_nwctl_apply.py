#!/usr/bin/env python3
"""nwctl plan --apply end to end: the order of the Saves when devices move
onto each other's addresses, what a failed Save holds back, the verification
that reads the search, and a run ended by Ctrl-C or SIGTERM. The real program
against the simulator in the private test LAN (two adapters, as
test_nwctl.py):

    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl_apply.py          # native build
    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl_apply.py --wine   # nwctl.exe under Wine

Under Wine only the interruption runs (a signal to the program is a Ctrl-C in
its console): the ordering is the same code under Wine as natively.
"""

import glob
import json
import os
import re
import signal
import time
import unittest

import harness
import lan_hosts
from simulator import SET_CONFIG
from test_nwctl import DEVICE_IP, OK, PLAN_FAILED, PLAN_REFUSED, WINE, NwctlTest, csv_text, mac

INTERRUPTED = 130

NOTICE = "nwctl: stopping after the answer in flight; Ctrl-C again ends nwctl at once"
HOLDER = "00:1A:2B:00:30:01"  # the device on the address another one moves onto
BYSTANDER = "02:00:5e:10:00:07"  # a host on the LAN that does not answer the search
HOST_ADDRESSES = ["198.51.100.%d" % n for n in (3, 4, 5)]


class ApplyTest(NwctlTest):
    def apply(self, plan, *args, password="admin"):
        return self.nwctl("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1, *args,
                          password=password)

    def dry_run(self, plan):
        return self.nwctl("plan", plan, "--rounds", 1)

    def log_entries(self, stem):
        logs = glob.glob(os.path.join(self.workdir, stem + "-*.audit.jsonl"))
        self.assertEqual(len(logs), 1, os.listdir(self.workdir))
        with open(logs[0]) as f:
            return [json.loads(line) for line in f]

    def saves(self, simulator):
        """The Saves, in the order the simulator heard them: on the LAN's own
        interface, where another host's interface beside it hears each
        broadcast again."""
        return simulator.received(command=SET_CONFIG, interface="lan0")

    def saves_to(self, simulator):
        """The MACs the Saves went to, in order."""
        return [entry["record"]["macAddress"] for entry in self.saves(simulator)]

    def shown(self, mac_text):
        """The address each answering device shows now, by MAC."""
        run = self.nwctl("search", "--rounds", 1, "--format", "json")
        return sorted(d["ip"] for d in json.loads(run.stdout) if d["mac"] == mac_text)


@unittest.skipIf(WINE, "the order of the Saves is the same code under Wine as natively")
class Ordering(ApplyTest):
    def swap(self, holder_password="admin", holder_keys=None):
        """Device 1 moves onto .130, where HOLDER is, and HOLDER to .51."""
        simulator = self.start_simulator(devices=[
            {"mac": mac(1)},
            dict({"mac": HOLDER, "ip": "198.51.100.130", "password": holder_password}, **(holder_keys or {}))])
        plan = self.write("swap.csv", csv_text(["mac", "ip"], [[mac(1), "198.51.100.130"],
                                                               [HOLDER, "198.51.100.51"]]))
        return simulator, plan

    def test_a_device_moves_onto_an_address_only_after_its_holder_has_left(self):
        simulator, plan = self.swap()
        run = self.dry_run(plan)
        self.assert_run(run, OK, stderr_has="2 planned, 2 found, 2 to change, 0 problems")
        self.assertIn("order: line 2 after line 3: %s moves onto 198.51.100.130 once %s has left it\n"
                      % (mac(1), HOLDER), run.stdout)

        run = self.apply(plan)
        self.assert_run(run, OK, stderr_has="2 of 2 devices applied and verified")
        self.assertEqual(self.saves_to(simulator), [HOLDER, mac(1)])
        self.assertEqual(self.shown(mac(1)), ["198.51.100.130"])
        self.assertEqual(self.shown(HOLDER), ["198.51.100.51"])

    def test_a_failed_save_holds_back_the_devices_that_wait_for_it(self):
        # The holder refuses the login: it stays where it is, and device 1
        # is not sent onto its address.
        simulator, plan = self.swap(holder_password="other")
        run = self.apply(plan)
        self.assert_run(run, PLAN_FAILED, stderr_has="0 of 2 devices applied and verified")
        self.assertEqual(self.saves_to(simulator), [HOLDER], "no Save went to device 1")
        reason = "%s has not left 198.51.100.130 (its Save: Failed. login failed)" % HOLDER
        self.assertEqual([line for line in run.stdout.splitlines() if not line.startswith(("line ", "order: "))], [
            "%s: Failed. login failed" % HOLDER,
            "%s: not sent: %s" % (mac(1), reason),
            "%s: NOT verified: it shows ip 198.51.100.100 -> 198.51.100.130" % mac(1),
            "%s: NOT verified: it shows ip 198.51.100.130 -> 198.51.100.51" % HOLDER])
        self.assertIn("nwctl: not sent, as a device they wait for did not leave its address: %s\n" % mac(1),
                      run.stderr)
        entries = self.log_entries("swap")
        self.assertEqual([(e["event"], e["mac"]) for e in entries], [
            ("sent", HOLDER), ("answer", HOLDER), ("not sent", mac(1)), ("verify", mac(1)), ("verify", HOLDER)])
        self.assertEqual((entries[2]["error"], entries[2]["waits_for"]), (reason, HOLDER))
        self.assertEqual(self.shown(mac(1)), ["198.51.100.100"])

    def test_two_macs_on_one_address_after_the_run_fail_it_for_both(self):
        # The holder says Apply but stays: device 1 moves onto its address,
        # and the search after the run hears both there.
        simulator, plan = self.swap(holder_keys={"applyResult": 0})
        run = self.apply(plan)
        self.assert_run(run, PLAN_FAILED, stderr_has="0 of 2 devices applied and verified")
        self.assertEqual(self.saves_to(simulator), [HOLDER, mac(1)])
        self.assertEqual([line for line in run.stdout.splitlines() if "verified" in line], [
            "%s: NOT verified: 198.51.100.130 is in use by %s too" % (mac(1), HOLDER),
            "%s: NOT verified: it shows ip 198.51.100.130 -> 198.51.100.51; 198.51.100.130 is in use by %s too"
            % (HOLDER, mac(1))])
        verifies = [e for e in self.log_entries("swap") if e["event"] == "verify"]
        self.assertEqual([(e["mac"], e["verified"], e["in_use_by"]) for e in verifies],
                         [(mac(1), False, [HOLDER]), (HOLDER, False, [mac(1)])])

    def test_a_swap_with_no_free_address_to_go_through_is_refused(self):
        # A /30 holds the two devices and nothing more.
        narrow = {"mask": "255.255.255.252", "gateway": "0.0.0.0"}
        simulator = self.start_simulator(devices=[dict(mac=mac(1), ip="198.51.100.101", **narrow),
                                                  dict(mac=mac(2), ip="198.51.100.102", **narrow)])
        plan = self.write("tight.csv", csv_text(["mac", "ip"], [[mac(1), "198.51.100.102"],
                                                                [mac(2), "198.51.100.101"]]))
        run = self.apply(plan)
        self.assert_run(run, PLAN_REFUSED, stderr_has="refused while problems stand. Nothing was sent")
        self.assertEqual([line for line in run.stdout.splitlines() if line.startswith("problem: ")], [
            "problem: line 2: %s: no free temporary address in its subnet 198.51.100.100/30 to go through, and it "
            "moves onto 198.51.100.102, held by %s, in a circle of 2 devices that each wait for the next to leave"
            % (mac(1), mac(2))])
        self.assertEqual(self.saves(simulator), [])

    def test_a_circle_of_three_goes_through_a_free_temporary_address(self):
        # The device side's own address and another host's hold the first
        # addresses of the subnet that no device uses: the temporary
        # address is probed, and passes them.
        with lan_hosts.LanHost(BYSTANDER, HOST_ADDRESSES):
            self.circle_of_three()

    def circle_of_three(self):
        # 1 -> .101 (2's), 2 -> .102 (3's), 3 -> .100 (1's).
        simulator = self.start_simulator(count=3)
        plan = self.write("circle.csv", csv_text(["mac", "ip"], [[mac(1), "198.51.100.101"],
                                                                 [mac(2), "198.51.100.102"],
                                                                 [mac(3), "198.51.100.100"]]))
        run = self.dry_run(plan)
        self.assert_run(run, OK, stderr_has="3 planned, 3 found, 3 to change, 0 problems")
        orders = [line for line in run.stdout.splitlines() if line.startswith("order: ")]
        through = re.fullmatch(r"order: line 2: %s goes through (198\.51\.100\.\d+) first: it moves onto "
                               r"198\.51\.100\.101, held by %s, in a circle of 3 devices that each wait for the "
                               r"next to leave" % (mac(1), mac(2)), orders[0])
        self.assertIsNotNone(through, run)
        temporary = through.group(1)
        self.assertNotIn(temporary, ["198.51.100.%d" % n for n in (0, 1, 11, 100, 101, 102, 254, 255)]
                         + [DEVICE_IP] + HOST_ADDRESSES)
        self.assertEqual(orders[1:], [
            "order: line 4 after line 2: %s moves onto 198.51.100.100 once %s has left it" % (mac(3), mac(1)),
            "order: line 3 after line 4: %s moves onto 198.51.100.102 once %s has left it" % (mac(2), mac(3)),
            "order: line 2 after line 3: %s moves onto 198.51.100.101 once %s has left it" % (mac(1), mac(2))])

        run = self.apply(plan)
        self.assert_run(run, OK, stderr_has="3 of 3 devices applied and verified")
        self.assertEqual([(s["record"]["macAddress"], s["record"]["ipAddress"]) for s in self.saves(simulator)], [
            (mac(1), temporary), (mac(3), "198.51.100.100"), (mac(2), "198.51.100.102"),
            (mac(1), "198.51.100.101")])
        self.assertIn("%s: on %s for now: Apply\n" % (mac(1), temporary), run.stdout)
        entries = self.log_entries("circle")
        self.assertEqual([(e["event"], e["mac"]) for e in entries],
                         [(event, m) for m in (mac(1), mac(3), mac(2), mac(1)) for event in ("sent", "answer")]
                         + [("verify", mac(n)) for n in (1, 2, 3)])
        self.assertEqual((entries[0]["before"]["ip"], entries[0]["sent"]["ip"]), ("198.51.100.100", temporary))
        self.assertEqual((entries[6]["before"]["ip"], entries[6]["sent"]["ip"]), (temporary, "198.51.100.101"))
        for n, address in ((1, "198.51.100.101"), (2, "198.51.100.102"), (3, "198.51.100.100")):
            self.assertEqual(self.shown(mac(n)), [address])


class Interrupting(ApplyTest):
    """Twenty devices that each answer their Save a second late."""

    def start_apply(self, delay=1.0):
        simulator = self.start_simulator(devices=[{"mac": mac(n), "applyDelay": delay} for n in range(1, 21)])
        plan = self.write("site.csv", csv_text(["mac", "web_port"], [[mac(n), 81] for n in range(1, 21)]))
        started = self.start("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1, "--timeout", 30,
                             password="admin")
        self.addCleanup(lambda: started[0].poll() is None and started[0].kill())
        return simulator, started

    def read_stderr(self, started):
        with open(started[1] + ".stderr", "rb") as err:
            return err.read().decode("latin-1")

    def wait_saves(self, simulator, count):
        harness.wait_until(lambda: len(simulator.received(command=SET_CONFIG)) >= count, 120,
                           "%d Saves" % count)

    def cut_short(self, number):
        simulator, started = self.start_apply()
        # The third Save is out, its answer a second away.
        self.wait_saves(simulator, 3)
        started[0].send_signal(number)
        run = self.finish(started, timeout=60)
        self.assert_run(run, INTERRUPTED)
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 3, "no Save after the signal")
        self.assertIn("%s: Apply\n" % mac(3), run.stdout, "the answer in flight was waited for")
        self.assertNotIn("verified", run.stdout)
        self.assertIn(NOTICE, run.stderr)
        self.assertIn("nwctl: interrupted after 3 of 20; not sent: %s, %s, %s and 14 more; audit log "
                      % (mac(4), mac(5), mac(6)), run.stderr)
        entries = self.log_entries("site")
        self.assertEqual([(e["event"], e.get("mac")) for e in entries],
                         [(event, mac(n)) for n in (1, 2, 3) for event in ("sent", "answer")]
                         + [("interrupted", None)])
        self.assertEqual(entries[5]["result"], "Apply")
        self.assertEqual((entries[6]["done"], entries[6]["of"], entries[6]["not_sent"]),
                         (3, 20, [mac(n) for n in range(4, 21)]))

    def test_ctrl_c_ends_the_run_after_the_answer_in_flight(self):
        self.cut_short(signal.SIGINT)

    @unittest.skipIf(WINE, "SIGTERM is Linux's")
    def test_sigterm_ends_the_run_after_the_answer_in_flight(self):
        self.cut_short(signal.SIGTERM)

    def test_a_second_signal_ends_it_at_once(self):
        simulator, started = self.start_apply(delay=20.0)
        self.wait_saves(simulator, 1)
        started[0].send_signal(signal.SIGINT)
        harness.wait_until(lambda: NOTICE in self.read_stderr(started), 30, "the first Ctrl-C taken")
        began = time.monotonic()
        started[0].send_signal(signal.SIGINT)
        run = self.finish(started, timeout=60)
        self.assertLess(time.monotonic() - began, 10, "it did not wait out the answer")
        self.assertIn(run.status, (-signal.SIGINT, INTERRUPTED) if WINE else (-signal.SIGINT,), run)
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 1)
        self.assertEqual([(e["event"], e["mac"]) for e in self.log_entries("site")], [("sent", mac(1))],
                         "every line written so far is in the log")


if __name__ == "__main__":
    unittest.main(verbosity=2)
