#!/usr/bin/env python3
"""nwctl probe end to end: the real program on the operator side of the
private test LAN against other hosts on the device side (lan_hosts), which
answer ARP for their own addresses only, as hosts on a real LAN do. Raw ARP
probes as root, and the kernel's own resolution with the raw packet right
taken away.

    tools/testlan/testlan -- python3 tests/e2e/test_nwctl_probe.py
    tools/testlan/testlan -- python3 tests/e2e/test_nwctl_probe.py --wine   # nwctl.exe

Under Wine, whose SendARP is a stub that answers ERROR_NOT_SUPPORTED, only
that: nwctl.exe says it could not probe, and why, never that an address is
free.
"""

import json
import os
import unittest

from lan_hosts import LanHost
from test_nwctl import OK, REPORTED, USAGE, WINE, NwctlTest, narrow_operator_subnet

NOT_PROBED = 17  # probe: some addresses could not be probed

# Runs what follows without CAP_NET_RAW, which root otherwise always has.
WITHOUT_RAW = ["setpriv", "--inh-caps=-net_raw", "--bounding-set=-net_raw"]

HOST = "02:00:5e:10:00:31"
OTHER = "02:00:5e:10:00:32"
FAR = "02:00:5e:10:00:c8"


def own_mac(name="lan0"):
    with open("/sys/class/net/%s/address" % name) as f:
        return f.read().strip()


class ProbeTest(NwctlTest):
    """Runs nwctl probe, as root or without the raw packet right."""

    wrapper = []

    def command(self, *args):
        return [*self.wrapper, *super().command(*args)]

    def probe(self, *args, raw=True):
        self.wrapper = [] if raw else WITHOUT_RAW
        try:
            return self.nwctl("probe", *args)
        finally:
            self.wrapper = []

    def states(self, run):
        """Each address's state and MACs (lower case) from --format json."""
        return {entry["address"]: (entry["state"], [mac.lower() for mac in entry["macs"]])
                for entry in json.loads(run.stdout)}


@unittest.skipIf(WINE, "Linux's probe")
class Probe(ProbeTest):
    def test_hosts_free_addresses_and_this_computer_each_in_every_format(self):
        with LanHost(HOST, ["198.51.100.31"]):
            run = self.probe("198.51.100.31-198.51.100.32", "198.51.100.1", "--format", "json")
            self.assert_run(run, OK)
            self.assertEqual(self.states(run), {"198.51.100.1": ("used", [own_mac()]),
                                                "198.51.100.31": ("used", [HOST]),
                                                "198.51.100.32": ("free", [])})
            self.assertIn("nwctl: 3 addresses: 2 used, 0 conflicts, 1 free, 0 not probed", run.stderr, run)
            self.assertNotIn("could not be probed", run.stderr, run)

            table = self.probe("198.51.100.31", "198.51.100.32")
            self.assert_run(table, OK, "address        state  macs\n"
                                       "198.51.100.31  used   %s\n"
                                       "198.51.100.32  free   -\n" % HOST.upper())
            rows = self.probe("198.51.100.30/31", "--format", "csv").csv_rows()
            self.assertEqual([(r["address"], r["state"], r["macs"].lower()) for r in rows],
                             [("198.51.100.30", "free", ""), ("198.51.100.31", "used", HOST)])

    def test_two_hosts_on_one_address_are_a_conflict_with_both_macs(self):
        with LanHost(HOST, ["198.51.100.40", "198.51.100.41"]), LanHost(OTHER, ["198.51.100.40"]):
            run = self.probe("198.51.100.40", "198.51.100.41", "198.51.100.42", "--format", "json")
            self.assert_run(run, REPORTED)
            self.assertEqual(self.states(run), {"198.51.100.40": ("conflict", [HOST, OTHER]),
                                                "198.51.100.41": ("used", [HOST]),
                                                "198.51.100.42": ("free", [])})

    def test_another_host_on_this_computers_address_is_a_conflict(self):
        with LanHost(HOST, ["198.51.100.1"]):
            run = self.probe("198.51.100.1", "--format", "json")
            self.assert_run(run, REPORTED)
            self.assertEqual(self.states(run), {"198.51.100.1": ("conflict", sorted([own_mac(), HOST]))})

    def test_a_whole_subnet_at_once(self):
        addresses = ["198.51.100.%d" % n for n in range(50, 70)]
        with LanHost(HOST, addresses[:10]), LanHost(OTHER, addresses[10:12]):
            run = self.probe("198.51.100.0/24", "--format", "json")
            self.assert_run(run, OK)
            states = self.states(run)
            self.assertEqual(len(states), 254)
            self.assertEqual({a: states[a] for a in addresses},
                             {**{a: ("used", [HOST]) for a in addresses[:10]},
                              **{a: ("used", [OTHER]) for a in addresses[10:12]},
                              **{a: ("free", []) for a in addresses[12:]}})

    def test_bad_operands_refused_before_anything_is_sent(self):
        for operand, says in [("198.51.100.40-198.51.100.30", "ends before it starts"),
                              ("198.51.100.0/24x", "is not a network"),
                              ("camera", "is not an address")]:
            run = self.probe("198.51.100.1", operand)
            self.assert_run(run, USAGE, "", says)
        self.assert_run(self.probe(), USAGE, "", "probe needs one or more addresses")


@unittest.skipIf(WINE, "Linux's probe")
class ProbeOffTheSubnet(ProbeTest):
    """The operator side's lan0 holds 198.51.100.1/25: a host at
    198.51.100.200 is outside its subnet, where the kernel never asks."""

    def setUp(self):
        super().setUp()
        narrow_operator_subnet(self, "198.51.100.1/25")

    def test_the_raw_probe_finds_a_host_on_another_subnet(self):
        with LanHost(HOST, ["198.51.100.31"]), LanHost(FAR, ["198.51.100.200"]):
            run = self.probe("198.51.100.31", "198.51.100.200", "198.51.100.201", "--format", "json")
            self.assert_run(run, OK)
            self.assertEqual(self.states(run), {"198.51.100.31": ("used", [HOST]),
                                                "198.51.100.200": ("used", [FAR]),
                                                "198.51.100.201": ("free", [])})

    def test_without_the_raw_right_the_subnet_is_probed_and_the_rest_named_once(self):
        with LanHost(HOST, ["198.51.100.31"]), LanHost(FAR, ["198.51.100.200"]):
            run = self.probe("198.51.100.31", "198.51.100.32", "198.51.100.200", "198.51.100.1", "--format", "json",
                             raw=False)
            self.assert_run(run, NOT_PROBED)
            self.assertEqual(self.states(run), {"198.51.100.1": ("used", [own_mac()]),
                                                "198.51.100.31": ("used", [HOST]),
                                                "198.51.100.32": ("free", []),
                                                "198.51.100.200": ("not-probed", [])})
            limit = [line for line in run.stderr.splitlines() if "could not be probed" in line]
            self.assertEqual(len(limit), 1, run)
            self.assertIn("1 address could not be probed (on no subnet of lan0 198.51.100.1/25): 198.51.100.200",
                          limit[0])
            self.assertIn("two hosts on one address show as one of them", limit[0])
            self.assertIn("sudo setcap cap_net_raw+ep $(command -v nwctl)", limit[0])
            self.assertEqual(run.stderr.count("setcap"), 1, run)

    def test_without_the_raw_right_a_conflict_shows_as_one_mac(self):
        with LanHost(HOST, ["198.51.100.40"]), LanHost(OTHER, ["198.51.100.40"]):
            run = self.probe("198.51.100.40", "--format", "json", raw=False)
            self.assert_run(run, OK)
            state, macs = self.states(run)["198.51.100.40"]
            self.assertEqual(state, "used")
            self.assertIn(macs[0], [HOST, OTHER])
            self.assertIn("show as one of them", run.stderr)


@unittest.skipUnless(WINE, "nwctl.exe under Wine")
class ProbeUnderWine(ProbeTest):
    def test_what_the_system_cannot_ask_for_is_not_probed_never_free_and_this_computer_is_itself(self):
        with LanHost(HOST, ["198.51.100.31"]):
            run = self.probe("198.51.100.31", "198.51.100.32", "198.51.100.200", "198.51.100.1", "--format", "json")
            self.assert_run(run, NOT_PROBED)
            self.assertEqual(self.states(run), {"198.51.100.1": ("used", [own_mac()]),
                                                **{address: ("not-probed", []) for address in
                                                   ["198.51.100.31", "198.51.100.32", "198.51.100.200"]}})
            limit = [line for line in run.stderr.splitlines() if "could not be probed" in line]
            self.assertEqual(len(limit), 1, run)
            self.assertIn("3 addresses could not be probed (SendARP is not available on this system, as under Wine)",
                          limit[0])


if __name__ == "__main__":
    unittest.main(verbosity=2)
