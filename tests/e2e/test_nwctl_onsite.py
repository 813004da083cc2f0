#!/usr/bin/env python3
"""nwctl against devices that behave as on site: the simulated cameras answer
ARP for their addresses from their own MACs, as real ones do, and a PC
(lan_hosts.LanHost) may sit on a camera's address. probe, check, report and
the verification after plan --apply see both.

    tools/testlan/testlan -- python3 tests/e2e/test_nwctl_onsite.py
"""

import json
import os
import unittest

import lan_hosts
from test_nwctl import OK, PLAN_FAILED, REPORTED, csv_text, mac, patterned
from test_nwctl_probe import ProbeTest
from simulator import SET_CONFIG

PC = "02:00:5e:10:00:07"  # a PC that answers ARP but not the search
SHARED = "198.51.100.60"  # two cameras configured alike
HOSTILE = "198.51.100.61"  # a camera whose MAC text is no MAC
LATE = "198.51.100.62"  # a camera that joins the network in ten minutes
MOVED = "198.51.100.63"  # where a camera goes a moment after the start


class OnSite(ProbeTest):
    def probe_states(self, *args, raw=True):
        """nwctl probe's run and each address's state and MACs (upper case,
        as mac() writes them)."""
        run = self.probe("--format", "json", *args, raw=raw)
        return run, {address: (state, [m.upper() for m in macs]) for address, (state, macs) in
                     self.states(run).items()}

    def inventory(self, count):
        return self.write("inventory.csv", csv_text(["mac", "ip"], [[mac(n), patterned(n)["ip"]]
                                                                    for n in range(1, count + 1)]))

    def test_each_camera_answers_the_probe_for_its_own_address_alone(self):
        simulator = self.start_simulator(count=2, devices=[
            {"mac": mac(0x11), "ip": SHARED}, {"mac": mac(0x12), "ip": SHARED},
            {"macAddress.hex": (b"M" * 24).hex(), "ip": HOSTILE},
            {"mac": mac(0x13), "ip": LATE, "appearAt": 600},
            {"mac": mac(0x14), "moveAt": 0.5, "moveTo": MOVED}], arp=True)
        simulator.wait_event("move")
        addresses = [patterned(1)["ip"], patterned(2)["ip"], SHARED, HOSTILE, LATE, MOVED, patterned(7)["ip"]]
        run, states = self.probe_states(*addresses)
        self.assert_run(run, REPORTED)
        self.assertEqual(states, {patterned(1)["ip"]: ("used", [mac(1)]),
                                  patterned(2)["ip"]: ("used", [mac(2)]),
                                  SHARED: ("conflict", [mac(0x11), mac(0x12)]),
                                  HOSTILE: ("free", []),
                                  LATE: ("free", []),
                                  MOVED: ("used", [mac(0x14)]),
                                  patterned(7)["ip"]: ("free", [])}, "the moved camera left its first address")

        # The operator's kernel resolves them as well: the probe without the
        # raw packet right reads its neighbour table.
        run, states = self.probe_states(patterned(1)["ip"], MOVED, HOSTILE, raw=False)
        self.assert_run(run, OK)
        self.assertEqual(states, {patterned(1)["ip"]: ("used", [mac(1)]), MOVED: ("used", [mac(0x14)]),
                                  HOSTILE: ("free", [])})

    def test_cameras_told_to_stay_silent_on_arp_are_not_heard(self):
        self.start_simulator(count=1, arp=False)
        run, states = self.probe_states(patterned(1)["ip"])
        self.assert_run(run, OK)
        self.assertEqual(states, {patterned(1)["ip"]: ("free", [])})

    def test_check_names_a_pc_on_a_cameras_address_and_the_report_shows_it(self):
        self.start_simulator(count=2, arp=True)
        inventory = self.inventory(2)
        address = patterned(1)["ip"]
        self.assert_run(self.nwctl("check", inventory, "--rounds", 1), OK,
                        stderr_has="2 expected, 2 answered, 0 reported")
        with lan_hosts.LanHost(PC, [address]):
            run = self.nwctl("check", inventory, "--rounds", 1, "--format", "json")
            self.assert_run(run, REPORTED, stderr_has="2 expected, 2 answered, 1 reported")
            self.assertEqual(json.loads(run.stdout), [{
                "kind": "ip-conflict", "mac": "%s %s" % (mac(1), PC.upper()), "ip": address,
                "detail": "2 MACs answer for it: %s and %s" % (mac(1), PC.upper())}])

            run = self.nwctl("report", "-o", self.path("report.json"), "--format", "json", "--inventory", inventory,
                             "--rounds", 1)
            self.assert_run(run, OK, "", "report written to")
        with open(os.path.join(self.workdir, "report.json")) as f:
            report = json.load(f)
        self.assertEqual([(f["kind"], f["ip"], f["detail"]) for f in report["findings"] if "conflict" in f["kind"]],
                         [("ip-conflict", address, "2 MACs answer for it: %s and %s" % (mac(1), PC.upper()))])
        cells = {c["address"]: c for c in report["address_map"]["addresses"]}
        self.assertEqual(cells[address]["state"], "conflict")
        self.assertIn(PC.upper(), cells[address]["detail"].upper())
        self.assertEqual(cells[patterned(2)["ip"]]["state"], "device", "the camera alone on its address")

    def test_a_pc_that_takes_the_planned_address_during_the_apply_fails_the_verification(self):
        simulator = self.start_simulator(devices=[{"mac": mac(1), "applyDelay": 3.0}, {"mac": mac(2)}], arp=True)
        plan = self.write("site.csv", csv_text(["mac", "ip"], [[mac(1), "198.51.100.40"], [mac(2), "198.51.100.41"]]))
        with lan_hosts.LanHost(PC) as pc:
            started = self.start("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1, "--timeout", 30,
                                 password="admin")
            simulator.wait_received(command=SET_CONFIG, timeout=60)
            pc.add("198.51.100.40")
            run = self.finish(started)
            self.assert_run(run, PLAN_FAILED, stderr_has="1 of 2 devices applied and verified")
            self.assertEqual([line for line in run.stdout.splitlines() if "verified" in line], [
                "%s: NOT verified: 198.51.100.40 is in use by %s too" % (mac(1), PC.upper()),
                "%s: verified" % mac(2)])

            # Both answer for it, and check says so.
            inventory = self.write("inventory.csv", csv_text(["mac", "ip"], [[mac(1), "198.51.100.40"],
                                                                             [mac(2), "198.51.100.41"]]))
            run = self.nwctl("check", inventory, "--rounds", 1, "--format", "json")
            self.assert_run(run, REPORTED)
            self.assertEqual([(f["kind"], f["mac"], f["ip"]) for f in json.loads(run.stdout)],
                             [("ip-conflict", "%s %s" % (mac(1), PC.upper()), "198.51.100.40")])

    def test_a_plan_that_keeps_or_swaps_the_cameras_addresses_is_no_problem_to_its_probe(self):
        self.start_simulator(count=3, arp=True)
        plan = self.write("keep.csv", csv_text(["mac", "ip", "web_port"], [
            [mac(1), patterned(1)["ip"], 81], [mac(2), patterned(3)["ip"], ""], [mac(3), patterned(2)["ip"], ""]]))
        self.assert_run(self.nwctl("plan", plan, "--rounds", 1), OK,
                        stderr_has="3 planned, 3 found, 3 to change, 0 problems")
        run = self.nwctl("plan", "--assign", patterned(2)["ip"], "--product", "simcam", "--rounds", 1)
        self.assert_run(run, OK)
        self.assertEqual([r["ip"] for r in run.csv_rows()], [patterned(n)["ip"] for n in (2, 3, 4)])
        self.assertNotIn("skipped", run.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
