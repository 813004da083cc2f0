#!/usr/bin/env python3
"""Addresses nwctl could not probe are unknown, never free: set, plan and
plan --assign refuse them unless the operator gives --unprobed-ok, the
verification after plan --apply says so, and check does not pass them as
fine. Natively without the raw packet right, where an address off the
adapter's subnet cannot be probed; under Wine, where no address can.

    tools/testlan/testlan -- python3 tests/e2e/test_nwctl_unprobed.py
    tools/testlan/testlan -- python3 tests/e2e/test_nwctl_unprobed.py --wine   # nwctl.exe
"""

import json
import os
import unittest

from lan_hosts import LanHost
from simulator import SET_CONFIG
from test_nwctl import (BYSTANDER, OK, PLAN_REFUSED, WINE, NwctlTest, csv_text, mac, narrow_operator_subnet,
                        patterned)
from test_nwctl_probe import NOT_PROBED, WITHOUT_RAW

FAR = "198.51.100.200"  # off the operator side's /25
FAR_WHY = "on no subnet of lan0 198.51.100.1/25"


class UnprobedTest(NwctlTest):
    """nwctl without the raw packet right, on a /25: FAR cannot be probed."""

    def setUp(self):
        super().setUp()
        narrow_operator_subnet(self, "198.51.100.1/25")

    def command(self, *args):
        return [*WITHOUT_RAW, *super().command(*args)]

    def sending(self, command, *args):
        return self.nwctl(command, *args, "--user", "admin", "--yes", "--rounds", 1, password="admin")

    def audit(self):
        log = next(f for f in os.listdir(self.workdir) if f.endswith(".audit.jsonl"))
        with open(os.path.join(self.workdir, log)) as f:
            return [json.loads(line) for line in f]


@unittest.skipIf(WINE, "Linux's probe")
class SetAndPlan(UnprobedTest):
    def test_set_onto_a_host_it_could_not_probe_is_refused_unless_told(self):
        simulator = self.start_simulator(count=1)
        with LanHost(BYSTANDER, [FAR]):
            run = self.sending("set", mac(1), "--ip", FAR, "--mask", "255.255.255.0")
            self.assert_run(run, PLAN_REFUSED, "")
            self.assertIn("nwctl: problem: %s: ip %s could not be probed (%s): whether another host holds it is "
                          "unknown" % (mac(1), FAR, FAR_WHY), run.stderr)
            self.assertTrue(run.stderr.rstrip().endswith(
                "refused while problems stand. Nothing was sent. To take the address that could not be probed "
                "as free, give --unprobed-ok"), run)
            self.assertEqual(simulator.received(command=SET_CONFIG), [])

        run = self.sending("set", mac(1), "--ip", FAR, "--mask", "255.255.255.0", "--unprobed-ok")
        self.assert_run(run, OK, mac(1) + ": Apply\n",
                        "nwctl: --unprobed-ok: taken as free, though it could not be probed: %s" % FAR)
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 1)

    def test_plan_dry_run_and_apply_refuse_then_verify_without_saying_verified_plainly(self):
        simulator = self.start_simulator(count=2)
        plan = self.write("site.csv", csv_text(["mac", "ip", "mask"],
                                               [[mac(1), "198.51.100.40", ""], [mac(2), FAR, "255.255.255.0"]]))
        problem = "problem: line 3: %s: ip %s could not be probed (%s): whether another host holds it is unknown" % (
            mac(2), FAR, FAR_WHY)
        run = self.nwctl("plan", plan, "--rounds", 1)
        self.assert_run(run, PLAN_REFUSED, stderr_has="2 planned, 2 found, 2 to change, 1 problem")
        self.assertEqual([line for line in run.stdout.splitlines() if line.startswith("problem:")], [problem])
        self.assertIn("give --unprobed-ok", run.stderr)

        run = self.sending("plan", plan, "--apply")
        self.assert_run(run, PLAN_REFUSED, stderr_has="refused while problems stand. Nothing was sent")
        self.assertIn(problem + "\n", run.stdout)
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

        # Told, the dry run passes and says what it takes as free.
        run = self.nwctl("plan", plan, "--rounds", 1, "--unprobed-ok")
        self.assert_run(run, OK, stderr_has="nwctl: --unprobed-ok: taken as free, though it could not be probed: "
                        + FAR)

        run = self.sending("plan", plan, "--apply", "--unprobed-ok")
        self.assert_run(run, OK)
        self.assertEqual([line for line in run.stdout.splitlines() if "verified" in line],
                         ["%s: verified" % mac(1), "%s: verified, address not probed" % mac(2)])
        self.assertIn("nwctl: 2 of 2 devices applied and verified, 1 of them at an address that could not be "
                      "probed; audit log ", run.stderr)
        verifies = [e for e in self.audit() if e["event"] == "verify"]
        self.assertEqual([(e["mac"], e["verified"], e["probed"], e["in_use_by"]) for e in verifies],
                         [(mac(1), True, True, []), (mac(2), True, False, None)])

    def test_a_device_found_at_an_address_not_probed_after_the_saves_is_no_plain_success(self):
        # Going to DHCP, the device keeps FAR: the plan gave it no address
        # to refuse, and the verification's probe cannot reach it.
        self.start_simulator(devices=[{"mac": mac(1), "ip": FAR}])
        plan = self.write("dhcp.csv", csv_text(["mac", "mode"], [[mac(1), "dhcp"]]))
        run = self.sending("plan", plan, "--apply")
        self.assert_run(run, NOT_PROBED)
        self.assertIn("%s: verified, address not probed\n" % mac(1), run.stdout)
        self.assertIn("nwctl: 1 of 1 device applied and verified, 1 of them at an address that could not be "
                      "probed; audit log ", run.stderr)
        self.assertEqual([(e["verified"], e["probed"]) for e in self.audit() if e["event"] == "verify"],
                         [(True, False)])

    def test_assign_refuses_an_address_it_could_not_probe_unless_told(self):
        self.start_simulator(count=2)
        with LanHost(BYSTANDER, ["198.51.100.201"]):
            run = self.nwctl("plan", "--assign", FAR, "--mask", "255.255.255.0", "--rounds", 1)
            self.assert_run(run, PLAN_REFUSED, "")
            for address in (FAR, "198.51.100.201"):
                self.assertIn("ip %s could not be probed (%s)" % (address, FAR_WHY), run.stderr)
            self.assertIn("none was written", run.stderr)
            self.assertIn("give --unprobed-ok", run.stderr)

            run = self.nwctl("plan", "--assign", FAR, "--mask", "255.255.255.0", "--rounds", 1, "--unprobed-ok")
            self.assert_run(run, OK)
            self.assertEqual([r["ip"] for r in run.csv_rows()], [FAR, "198.51.100.201"])
            self.assertIn("nwctl: --unprobed-ok: taken as free, though they could not be probed: %s, 198.51.100.201"
                          % FAR, run.stderr)


@unittest.skipIf(WINE, "Linux's probe")
class Check(UnprobedTest):
    def test_an_address_it_could_not_probe_does_not_pass_as_fine(self):
        self.start_simulator(devices=[{"mac": mac(1), "ip": FAR}, {"mac": mac(2)}])
        inventory = self.write("inventory.csv", csv_text(["mac", "ip"],
                                                         [[mac(1), FAR], [mac(2), patterned(2)["ip"]]]))
        run = self.nwctl("check", inventory, "--rounds", 1)
        self.assert_run(run, NOT_PROBED, stderr_has="2 expected, 2 answered, 0 reported")
        self.assertIn("nwctl: nothing to report, but 1 address could not be probed (%s): %s" % (FAR_WHY, FAR),
                      run.stderr)
        # Something to report is reported as before.
        run = self.nwctl("check", self.write("short.csv", csv_text(["mac"], [[mac(1)]])), "--rounds", 1)
        self.assert_run(run, 8, stderr_has="1 expected, 2 answered, 1 reported")


@unittest.skipUnless(WINE, "nwctl.exe under Wine")
class UnderWine(NwctlTest):
    def test_set_is_refused_saying_why_and_goes_when_told(self):
        simulator = self.start_simulator(count=1)
        args = ["set", mac(1), "--ip", "198.51.100.50", "--user", "admin", "--yes", "--rounds", 1]
        run = self.nwctl(*args, password="admin")
        self.assert_run(run, PLAN_REFUSED, "", "nwctl: problem: %s: ip 198.51.100.50 could not be probed (SendARP is "
                        "not available on this system, as under Wine): whether another host holds it is unknown"
                        % mac(1))
        self.assertIn("give --unprobed-ok", run.stderr)
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

        run = self.nwctl(*args, "--unprobed-ok", password="admin")
        self.assert_run(run, OK, mac(1) + ": Apply\n",
                        "nwctl: --unprobed-ok: taken as free, though it could not be probed: 198.51.100.50")
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 1)

    def test_plan_apply_is_refused_and_told_never_ends_plainly_verified(self):
        simulator = self.start_simulator(count=2)
        plan = self.write("site.csv", csv_text(["mac", "ip"], [[mac(1), "198.51.100.40"], [mac(2), "198.51.100.41"]]))
        args = ["plan", plan, "--apply", "--user", "admin", "--yes", "--rounds", 1]
        run = self.nwctl(*args, password="admin")
        self.assert_run(run, PLAN_REFUSED, stderr_has="Nothing was sent. To take the 2 addresses that could not be "
                                                      "probed as free, give --unprobed-ok")
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

        run = self.nwctl(*args, "--unprobed-ok", password="admin")
        self.assert_run(run, OK, stderr_has="nwctl: 2 of 2 devices applied and verified, 2 of them at addresses that "
                                            "could not be probed; audit log ")
        self.assertEqual([line for line in run.stdout.splitlines() if "verified" in line],
                         ["%s: verified, address not probed" % mac(n) for n in (1, 2)])


if __name__ == "__main__":
    unittest.main(verbosity=2)
