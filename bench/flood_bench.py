#!/usr/bin/env python3
"""A hostile LAN against the running program. 256 simulated devices answer
every search; from the device side, bench/hostile_flood.py sends datagrams
of every kind (random lengths, every command code, records without NUL,
hostile texts, devices that repeat their replies endlessly, apply replies
that no Save asked for), during searches and between them.

The baseline, in the same run: the program's first search, with no flood.
Then, SEARCHES times: a search with the flood running for most of it, and a
pause with the flood running between searches. Measured throughout by
bench/uiprobe (the slowest answer to a message sent to the window, and the
longest time the list stayed undrawn) and checked after every phase:

  - the program runs;
  - after a search, the list holds exactly the simulated devices and the
    flood's repeating devices, each once (by MAC and IP text); between
    searches it does not change;
  - no message box is open (none was asked for by an operator).

Runs inside tools/testlan/testlan (see bench/run.sh)."""

import argparse
import collections
import json
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "bench"))

import harness  # noqa: E402
from discovery_bench import Probe  # noqa: E402
from simulator import Simulator  # noqa: E402
from summary import record  # noqa: E402
from uidriver import UiDriver  # noqa: E402

DEVICES = 256
FLOOD_SECONDS = 3.0  # within a search's five seconds
LIMIT_MS = 30000


def receive_buffer_drops():
    """Datagrams this side's kernel dropped for a full receive buffer."""
    with open("/proc/net/snmp") as snmp:
        lines = [line.split() for line in snmp if line.startswith("Udp:")]
    return int(lines[1][lines[0].index("RcvbufErrors")])


def flood(workdir, seed, rate):
    ledger = os.path.join(workdir, "flood-%d.json" % seed)
    subprocess.run([os.environ["TESTLAN_ON_DEVICE"], sys.executable, os.path.join(ROOT, "bench", "hostile_flood.py"),
                    "--to", harness.OPERATOR_IP, "--seconds", str(FLOOD_SECONDS), "--rate", str(rate),
                    "--seed", str(seed), "--ledger", ledger], check=True)
    with open(ledger) as f:
        return json.load(f)


def listed(driver):
    rows = driver.call("list", harness.IDC_DEVICE_LIST)["rows"]
    return collections.Counter((row["cells"][harness.COLUMN_MAC_ADDRESS], row["cells"][harness.COLUMN_IP_ADDRESS])
                               for row in rows)


def simulated_pairs(simulator):
    replies = simulator.sent(command=4)
    return {(entry["record"]["macAddress"], entry["record"]["ipAddress"]) for entry in replies}


def message_box_open(driver):
    return bool(driver.try_call("msgbox").get("ok"))


def wait_search_end(driver):
    driver.call("wait-window", "wait", "hidden", "--timeout", LIMIT_MS)
    driver.call("wait-state", harness.IDC_ADAPTER, "enabled", "--timeout", LIMIT_MS)


def worst(probe, kind, since, until):
    values = [float(words[1]) for stamp, words in probe.lines if words[0] == kind and since <= stamp <= until]
    return max(values) if values else None


def figure(value, floor):
    return "< %d ms" % floor if value is None else "%.0f ms" % value


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--searches", type=int, default=3)
    parser.add_argument("--rate", type=int, default=6000, help="flood datagrams a second")
    args = parser.parse_args()

    workdir = tempfile.mkdtemp(prefix="flood-", dir=os.environ.get("TESTLAN_DIR"))
    phases = []
    drops = receive_buffer_drops()
    with Simulator(count=DEVICES, log_path=os.path.join(workdir, "nwsim.jsonl")) as simulator:
        probe = Probe(3600)
        program = harness.Program(workdir)
        try:
            with UiDriver(caption=harness.CAPTION, timeout_ms=LIMIT_MS) as driver:
                driver.call("find", "--timeout", 60000)
                start = time.monotonic()
                driver.call("wait-rows", harness.IDC_DEVICE_LIST, DEVICES, "--timeout", LIMIT_MS)
                wait_search_end(driver)
                quiet_end = time.monotonic()
                devices = simulated_pairs(simulator)
                phases.append(("quiet search", 0, len(devices), sum(listed(driver).values()), True))
                sent = 0
                for n in range(args.searches):
                    driver.call("click", harness.IDC_SEARCH)
                    driver.call("wait-window", "wait", "visible", "--timeout", LIMIT_MS)
                    ledger = flood(workdir, 2 * n + 1, args.rate)
                    sent += ledger["total"]
                    wait_search_end(driver)
                    expected = devices | {tuple(pair) for pair in ledger["pairs"]}
                    rows = listed(driver)
                    exact = set(rows) == expected and all(count == 1 for count in rows.values())
                    phases.append(("search %d, flood" % (n + 1), ledger["total"], len(expected),
                                   sum(rows.values()), exact and not message_box_open(driver)))

                    before = listed(driver)
                    ledger = flood(workdir, 2 * n + 2, args.rate)
                    sent += ledger["total"]
                    time.sleep(0.5)  # what is still queued reaches the program
                    after = listed(driver)
                    phases.append(("between searches, flood", ledger["total"], sum(before.values()),
                                   sum(after.values()), after == before and not message_box_open(driver)))
                alive = program.running()
        finally:
            probe.process.terminate()
            probe.finish(timeout=30)
            program.kill()
    end = time.monotonic()
    drops = receive_buffer_drops() - drops

    print("hostile LAN: %d simulated devices, a flood of hostile datagrams during and between searches"
          % DEVICES)
    print("targets: the program keeps running, lists exactly the well-formed replies once each, opens no box;\n"
          "         slowest answer under 100 ms; the list drawn at least every 250 ms during the flood\n")
    header = "%-26s %10s %10s %8s  %s" % ("phase", "datagrams", "expected", "listed", "as expected")
    print(header)
    print("-" * len(header))
    for name, count, expected, rows, right in phases:
        print("%-26s %10d %10d %8d  %s" % (name, count, expected, rows, "yes" if right else "NO"))
    print()
    print("datagrams sent: %d (%d dropped by the kernel for a full receive buffer); program alive at the end: %s"
          % (sent, drops, "yes" if alive else "NO"))
    print("%-26s %16s %22s" % ("", "slowest answer", "longest undrawn list"))
    print("%-26s %16s %22s" % ("quiet search (baseline)", figure(worst(probe, "late", start, quiet_end), 50),
                               figure(worst(probe, "undrawn", start, quiet_end), 100)))
    slowest = worst(probe, "late", quiet_end, end)
    undrawn = worst(probe, "undrawn", quiet_end, end)
    print("%-26s %16s %22s" % ("under the flood", figure(slowest, 50), figure(undrawn, 100)))

    right = all(phase[4] for phase in phases)
    record("hostile LAN", "datagrams sent, program alive", "%d, %s" % (sent, "yes" if alive else "no"),
           ">= 100,000, yes", sent >= 100000 and alive)
    record("hostile LAN", "rows as expected, no box", "%d of %d phases" % (sum(p[4] for p in phases), len(phases)),
           "all", right)
    record("hostile LAN", "slowest answer under the flood", figure(slowest, 50), "< 100 ms",
           slowest is None or slowest < 100)
    record("hostile LAN", "longest undrawn list under the flood", figure(undrawn, 100), "<= 250 ms",
           undrawn is None or undrawn <= 250)


if __name__ == "__main__":
    main()
