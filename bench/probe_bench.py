#!/usr/bin/env python3
"""nwctl probe at a site: the test LAN's whole subnet, 198.51.100.0/24 (254
addresses), a quarter of them held by other hosts on the device side (a few
macvlans with many addresses each, tests/e2e/lan_hosts.py), probed by the
native nwctl in three ways:

  together      nwctl probe 198.51.100.0/24: every address at once, probed
                again 0.2 s apart (three times in all) while unanswered,
                then a second's wait for late answers
  one by one    the baseline, measured in the same run: nwctl probe ADDRESS
                for each address in turn, the same probes and the same wait
                for each address
  no raw right  nwctl probe 198.51.100.0/24 without CAP_NET_RAW: the
                kernel's own resolution of the addresses on the subnet

Each prints its time and the addresses answered beside those expected (the
held ones, this computer's and the device side's own), and whether every
address had the expected state and MAC. Runs inside tools/testlan/testlan
(bench/run.sh probe). 1,024 addresses do not fit the one subnet the test
LAN may use; the pacing of 1,024 is held by the unit tests
(nwctl/tests/probe_test.cpp)."""

import argparse
import json
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "bench"))

from lan_hosts import LanHost  # noqa: E402
from summary import record  # noqa: E402

NATIVE_BUILD = os.environ.get("NW_NATIVE_BUILD_DIR") or os.path.join(ROOT, "build", "native")
NWCTL = os.path.join(NATIVE_BUILD, "bin", "nwctl")
WITHOUT_RAW = ["setpriv", "--inh-caps=-net_raw", "--bounding-set=-net_raw"]
SUBNET = ["198.51.100.%d" % n for n in range(1, 255)]
HOSTS = 4


def mac_of(name, on_device=False):
    command = ["cat", "/sys/class/net/%s/address" % name]
    if on_device:
        command.insert(0, os.environ["TESTLAN_ON_DEVICE"])
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout.strip()


def probe(*operands, wrapper=()):
    """nwctl probe's states, {address: (state, [macs])}, and its time."""
    start = time.monotonic()
    run = subprocess.run([*wrapper, NWCTL, "probe", *operands, "--format", "json"], capture_output=True, text=True)
    took = time.monotonic() - start
    if run.returncode not in (0, 8, 17):
        sys.exit("nwctl probe ended with %d: %s" % (run.returncode, run.stderr))
    return {e["address"]: (e["state"], [m.lower() for m in e["macs"]]) for e in json.loads(run.stdout)}, took


def judged(states, expected):
    """(answered, expected answered, every address as expected)."""
    answered = sum(1 for state, _ in states.values() if state == "used")
    wanted = {address: ("used", [mac]) if mac else ("free", []) for address, mac in expected.items()}
    return answered, sum(1 for mac in expected.values() if mac), states == wanted


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--no-baseline", action="store_true", help="skip the one-by-one baseline (minutes)")
    args = parser.parse_args()

    held = SUBNET[3::4]  # 198.51.100.4, .8, ... .252: 63 addresses
    macs = ["02:00:5e:10:01:%02x" % n for n in range(HOSTS)]
    expected = {address: None for address in SUBNET}
    expected["198.51.100.1"] = mac_of("lan0")
    expected["198.51.100.2"] = mac_of("lan0", on_device=True)
    hosts = [LanHost(mac) for mac in macs]
    try:
        for host in hosts:
            host.__enter__()
        for n, address in enumerate(held):
            hosts[n % HOSTS].add(address)
            expected[address] = macs[n % HOSTS]

        rows = []
        states, took = probe("198.51.100.0/24")
        rows.append(("together", took) + judged(states, expected))
        if not args.no_baseline:
            states, took = {}, 0.0
            for address in SUBNET:
                one, one_took = probe(address)
                states.update(one)
                took += one_took
            rows.append(("one by one", took) + judged(states, expected))
        states, took = probe("198.51.100.0/24", wrapper=WITHOUT_RAW)
        rows.append(("no raw right", took) + judged(states, expected))
    finally:
        for host in hosts:
            host.close()

    print("254 addresses, %d held by %d other hosts" % (len(held), HOSTS))
    print("%-12s  %8s  %17s  %s" % ("probe", "time", "answered/expected", "all as expected"))
    for name, took, answered, wanted, right in rows:
        print("%-12s  %6.2f s  %8d/%-8d  %s" % (name, took, answered, wanted, "yes" if right else "NO"), flush=True)
    together = rows[0]
    baseline = " (one by one: %.0f s)" % rows[1][1] if not args.no_baseline else ""
    record("probe", "254 addresses, a quarter held: answered, time", "%d/%d, %.1f s%s"
           % (together[2], together[3], together[1], baseline), "all, under 5 s",
           together[4] and together[1] < 5)
    return 0 if all(row[4] for row in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
