#!/usr/bin/env python3
"""nwctl search at a large site: N simulated devices answer each of the
search's five requests in one burst, and the native nwctl lists them:

  listed      share of the N devices in nwctl's output
  to last     time from the first reply to the last device found
  after bcast time from the last request to the last device found

nwctl runs with a terminal on standard error, where it shows its live count
within 0.1 s of each change; the last device was found when the count
reached its final value. Its clock and the simulator's log are the same
monotonic clock. bench/discovery_bench.py puts these figures beside the
window program's; this script alone measures only nwctl. Runs inside
tools/testlan/testlan (see bench/run.sh)."""

import argparse
import json
import os
import pty
import re
import select
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from simulator import Simulator  # noqa: E402

NATIVE_BUILD = os.environ.get("NW_NATIVE_BUILD_DIR") or os.path.join(ROOT, "build", "native")
NWCTL = os.path.join(NATIVE_BUILD, "bin", "nwctl")
# "searching: round 2 of 5, 16384 devices found" while it runs, and
# "searched 5 rounds: 16384 devices found" at its end.
COUNT = re.compile(rb"(\d+) devices? found")


def log_times(path):
    """The first reply's time and every search request's, from the
    simulator's log, read line by line: at this size the log is large."""
    first_reply, requests = None, []
    with open(path) as log:
        for line in log:
            if first_reply is None and '"dir": "out"' in line:
                first_reply = json.loads(line)["mono"]
            elif '"dir": "in"' in line and '"hex": "03000000' in line:
                requests.append(json.loads(line)["mono"])
    return first_reply, requests


def measure(n, workdir):
    log_path = os.path.join(workdir, "nwsim-nwctl-%d.jsonl" % n)
    output_path = os.path.join(workdir, "nwctl-%d.csv" % n)
    counts = []  # (time shown, count)
    with Simulator(count=n, log_path=log_path), open(output_path, "wb") as output:
        master, terminal = pty.openpty()
        search = subprocess.Popen([NWCTL, "search", "--format", "csv"], stdin=subprocess.DEVNULL, stdout=output,
                                  stderr=terminal)
        os.close(terminal)
        shown = b""
        while True:
            if select.select([master], [], [], 1)[0]:
                try:
                    chunk = os.read(master, 4096)
                except OSError:
                    break
                if not chunk:
                    break
                stamp = time.monotonic()
                shown += chunk
                end = 0
                for match in COUNT.finditer(shown):
                    counts.append((stamp, int(match.group(1))))
                    end = match.end()
                shown = shown[end:]
            elif search.poll() is not None:
                break
        search.wait(timeout=120)
        os.close(master)
    with open(output_path) as csv:
        listed = len(csv.readlines()) - 1
    first_reply, requests = log_times(log_path)
    found_at = next((stamp for stamp, count in counts if count == listed), None)
    return {
        "listed": listed / n,
        "to_last_row": found_at - first_reply if found_at and first_reply else None,
        "after_broadcast": found_at - requests[-1] if found_at and requests else None,
        "unresponsive_ms": None,
        "broadcasts": len(requests),
        "unfinished": False,
        "status": search.returncode,
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--devices", type=int, nargs="+", default=[16384])
    args = parser.parse_args()
    workdir = tempfile.mkdtemp(prefix="bench-nwctl-", dir=os.environ.get("TESTLAN_DIR"))
    print("%6s  %8s %10s %16s" % ("N", "listed", "to last", "after last bcast"))
    for n in args.devices:
        result = measure(n, workdir)
        print("%6d  %7.1f%% %10s %16s" % (n, 100 * result["listed"],
                                          "%.2f s" % result["to_last_row"] if result["to_last_row"] else "-",
                                          "%.2f s" % result["after_broadcast"] if result["after_broadcast"] else "-"),
              flush=True)


if __name__ == "__main__":
    main()
