#!/usr/bin/env python3
"""Discovery at large sites: N simulated devices answer each of a search's
five broadcasts in one burst. For each N, the program and its baseline (the
same program with the device table and the duplicate scan done literally:
every access walks the table from its head, every reply reads every listed
record) are measured in the same run:

  listed      share of the N devices in the list after the search
  to last row time from the first reply to the last row shown
  after bcast time from the last broadcast to the last row shown
  unresponsive  longest time the window took to answer a message

The same table ends with nwctl's search (native, bench/nwctl_bench.py) at
16384 devices, for the share listed and the times to its last device.

Runs inside tools/testlan/testlan (see bench/run.sh)."""

import argparse
import os
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402
import nwctl_bench  # noqa: E402
from simulator import SEARCH, SEARCH_REPLY, Simulator  # noqa: E402
from summary import record  # noqa: E402

BIN = os.path.join(harness.BUILD_DIR, "bin")
VARIANTS = [("baseline", os.path.join(BIN, "Nodewright-literal.exe")), ("program", harness.PROGRAM)]

# How long one run may watch the window: the search's five seconds and what
# follows; a baseline that is still busy then is reported as unfinished.
WATCH_S = {"program": 20, "baseline": 90}


class Probe:
    """bench/uiprobe under Wine; every line it writes is stamped with this
    machine's monotonic clock as it arrives, the clock nwsim's log uses."""

    def __init__(self, seconds):
        self.lines = []
        self.process = subprocess.Popen(harness.wine(os.path.join(BIN, "uiprobe.exe"), harness.CAPTION,
                                                     harness.IDC_DEVICE_LIST, seconds),
                                        stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.append((time.monotonic(), line.split()))

    def finish(self, timeout):
        self.process.wait(timeout=timeout)
        self.reader.join(timeout=5)

    def rows(self):
        return [(stamp, int(words[1])) for stamp, words in self.lines if words[0] == "rows"]

    def done_at(self):
        return next((stamp for stamp, words in self.lines if words[0] == "done"), None)

    def worst_latency_ms(self):
        done = [words for _, words in self.lines if words[0] == "done"]
        return float(done[0][2]) if done else None


def measure(variant, exe, n, workdir):
    with Simulator(count=n, log_path=os.path.join(workdir, "nwsim-%s-%d.jsonl" % (variant, n))) as simulator:
        probe = Probe(WATCH_S[variant])
        program = harness.Program(workdir, exe=exe)
        try:
            probe.finish(timeout=WATCH_S[variant] + 90)
        finally:
            program.kill()
        first_reply = min(entry["mono"] for entry in simulator.sent(command=SEARCH_REPLY))
        broadcasts = [entry["mono"] for entry in simulator.received(command=SEARCH)]
    rows = probe.rows()
    listed = rows[-1][1] if rows else 0
    shown = next(stamp for stamp, count in rows if count == listed) if rows else None
    # Rows still arriving when the watch ended: the last row came later.
    done = probe.done_at()
    unfinished = bool(rows) and done is not None and rows[-1][0] > done - 2 and listed < n
    return {
        "listed": listed / n,
        "to_last_row": shown - first_reply if shown else None,
        "after_broadcast": shown - broadcasts[-1] if shown and len(broadcasts) >= 5 else None,
        "unresponsive_ms": probe.worst_latency_ms(),
        "broadcasts": len(broadcasts),
        "unfinished": unfinished,
    }


def seconds(value, unfinished=False):
    if value is None:
        return "-"
    return ("> %.2f s" if unfinished else "%.2f s") % value


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--devices", type=int, nargs="+", default=[16, 256, 1024, 4096])
    parser.add_argument("--nwctl-devices", type=int, nargs="*", default=[16384])
    args = parser.parse_args()

    workdir = tempfile.mkdtemp(prefix="bench-", dir=os.environ.get("TESTLAN_DIR"))
    print("discovery: N devices answer each of the 5 broadcasts of a search in one burst")
    print("targets: 100% listed at 4096, list complete within 1 s of the last broadcast, "
          "window never unresponsive for more than 100 ms")
    print("(a negative time after the last broadcast: the list was complete before it)\n")
    header = "%6s  %-9s %8s %14s %16s %14s" % ("N", "", "listed", "to last row", "after last bcast",
                                              "unresponsive")
    print(header)
    print("-" * len(header))
    slowest = {}
    for n in args.devices:
        for variant, exe in VARIANTS:
            result = measure(variant, exe, n, workdir)
            slowest[variant] = max(slowest.get(variant, 0), result["unresponsive_ms"] or 0)
            if variant == "program" and n == max(args.devices):
                record("discovery", "listed at %d devices" % n, "%.1f%%" % (100 * result["listed"]), "100%",
                       result["listed"] == 1)
            print("%6d  %-9s %7.1f%% %14s %16s %11.0f ms%s" % (
                n, variant, 100 * result["listed"], seconds(result["to_last_row"], result["unfinished"]),
                seconds(result["after_broadcast"], result["unfinished"]), result["unresponsive_ms"] or 0,
                "" if result["broadcasts"] == 5 else "  (%d broadcasts)" % result["broadcasts"]), flush=True)
    record("discovery", "slowest answer during searches of %s devices"
           % ", ".join(str(n) for n in args.devices), "%.0f ms (baseline %.0f ms)"
           % (slowest.get("program", 0), slowest.get("baseline", 0)), "< 100 ms", slowest.get("program", 0) < 100)
    for n in args.nwctl_devices:
        result = nwctl_bench.measure(n, workdir)
        record("nwctl", "search of %d devices: listed, first reply to last" % n,
               "%.1f%%, %s" % (100 * result["listed"], seconds(result["to_last_row"])), "100%", result["listed"] == 1)
        print("%6d  %-9s %7.1f%% %14s %16s %14s%s" % (
            n, "nwctl", 100 * result["listed"], seconds(result["to_last_row"]), seconds(result["after_broadcast"]), "-",
            "" if result["broadcasts"] == 5 else "  (%d broadcasts)" % result["broadcasts"]), flush=True)


if __name__ == "__main__":
    main()
