#!/usr/bin/env python3
"""nwctl's checks of large plans and inventories: the dry run's rules (read
the plan, find every problem, walk each row's device) and check's (read the
inventory, compare it with the devices found), for 1,000 and 10,000 lines
against as many devices, beside the baseline of the same checks before the
found devices were indexed by MAC, measured in the same run
(bench/plan_rules). No network: the devices are made in memory."""

import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "bench"))

from summary import record  # noqa: E402

NATIVE_BUILD = os.environ.get("NW_NATIVE_BUILD_DIR") or os.path.join(ROOT, "build", "native")
BENCH = os.path.join(NATIVE_BUILD, "bin", "plan_rules_bench")
GOAL_SECONDS = 1.0  # for 10,000 lines


def main():
    output = subprocess.run([BENCH, "1000", "10000"], check=True, stdout=subprocess.PIPE, text=True).stdout
    figures = {}
    for line in output.splitlines():
        what, size, now, before = line.split()
        figures[(what, int(size))] = (float(now), float(before))
    print("| check | lines | now | before | now, 10x the lines |")
    print("|---|---|---|---|---|")
    for what, name in (("plan", "plan dry run"), ("check", "check")):
        for size in (1000, 10000):
            now, before = figures[(what, size)]
            growth = "%.0fx the time" % (now / figures[(what, 1000)][0]) if size == 10000 else ""
            print("| %s | %d | %.3f s | %.3f s | %s |" % (name, size, now, before, growth))
        now, before = figures[(what, 10000)]
        record("rules", "%s, 10,000 lines" % name, "%.2f s (before: %.1f s)" % (now, before),
               "under %g s" % GOAL_SECONDS, now < GOAL_SECONDS)


if __name__ == "__main__":
    main()
