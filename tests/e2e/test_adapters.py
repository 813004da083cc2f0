#!/usr/bin/env python3
"""The adapter box lists the operator side's IPv4 adapters, and a search
leaves from the one chosen. Runs in a LAN with three adapters and the
loopback up."""

import re
import subprocess

import harness
from harness import IDC_ADAPTER
from simulator import SEARCH


def ipv4_adapters():
    """name -> first IPv4 address, as the operator namespace has them."""
    output = subprocess.run(["ip", "-4", "-o", "addr", "show"], capture_output=True, text=True, check=True).stdout
    adapters = {}
    for line in output.splitlines():
        match = re.match(r"\d+:\s+(\S+)\s+inet\s+([\d.]+)", line)
        if match:
            adapters.setdefault(match.group(1), match.group(2))
    return adapters


class AdapterBox(harness.ProgramTest):
    def test_lists_every_ipv4_adapter_first_selected(self):
        adapters = ipv4_adapters()
        self.assertGreaterEqual(len(adapters), 4, "the LAN has lo and three adapters: %s" % adapters)
        self.start_program()
        combo = self.call("combo", IDC_ADAPTER)
        self.assertCountEqual(combo["entries"], ["%s : %s" % item for item in adapters.items()])
        self.assertEqual(combo["selected"], 0)

    def test_next_search_leaves_from_the_chosen_adapter(self):
        simulator = self.start_simulator(count=1)
        self.start_program()
        entries = self.call("combo", IDC_ADAPTER)["entries"]
        # The first search left from the first entry's address.
        first = entries[0].rsplit(" : ", 1)[1]
        for entry in entries:
            address = entry.rsplit(" : ", 1)[1]
            if address.startswith("198.51.100.") and address != first:
                break
        else:
            self.fail("no second LAN adapter in %s" % entries)
        before = len(simulator.received(command=SEARCH))
        self.call("select", IDC_ADAPTER, entry)
        # Choosing does nothing at once.
        self.assertEqual(len(simulator.received(command=SEARCH)), before)
        self.search()
        requests = simulator.wait_received(before + 5, command=SEARCH)[before:]
        self.assertEqual({(r["peer"], r["peer_port"]) for r in requests}, {(address, 40013)})


if __name__ == "__main__":
    harness.main()
