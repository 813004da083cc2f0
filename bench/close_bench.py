#!/usr/bin/env python3
"""Closing under load: the program is closed at a random moment of a search
in which 1,024 simulated devices answer each broadcast, by each of the three
ways a user closes it, in turn:

  close box  the system's close command (WM_SYSCOMMAND SC_CLOSE), as the
             close box sends it
  escape     Escape in the Model Name box (Cancel)
  enter      Enter in the box under Model Name, every port box holding a
             number (OK)

A clean exit: the program's process has ended within 2 s of the close with
status 0 (both OK and Cancel end the program the same way), none of its
child processes is left, no other process of the program is left, and no
message box stayed open. The moment is drawn uniformly from the first 4.8 s
after the wait box shows (the search broadcasts for 5 s) by a seeded random
generator; the seed is printed, and --seed replays a run.

Runs inside tools/testlan/testlan (see bench/run.sh)."""

import argparse
import os
import random
import signal
import sys
import tempfile
import threading
import time

import lanbench
from lanbench import harness
from summary import record

DEVICES = 1024
EXIT_LIMIT_S = 2.0
MOMENT_S = 4.8
EXPECTED_STATUS = 0

# (name, control that gets the focus before the moment, the close itself)
WAYS = [
    ("close box", None, ("syscommand", 0xF060)),
    ("escape", harness.IDC_MODEL_NAME, ("key", "escape")),
    ("enter", harness.IDC_DEVICE_INFO, ("key", "enter")),
]


class ExitWatch:
    """Stamps the moment the program's process ends."""

    def __init__(self, program):
        self.ended_at = None
        self.status = None
        self._thread = threading.Thread(target=self._wait, args=(program.process,), daemon=True)
        self._thread.start()

    def _wait(self, process):
        self.status = process.wait()
        self.ended_at = time.monotonic()

    def wait(self, until):
        self._thread.join(max(0.0, until - time.monotonic()))
        return self.ended_at is not None


def close_once(driver, workdir, way, moment):
    """One run of the program closed `moment` seconds after its wait box
    showed; returns (clean, exit seconds or None, what was wrong)."""
    name, focus, close = way
    program = harness.Program(workdir)
    watch = ExitWatch(program)
    try:
        driver.call("find", "--timeout", 60000)
        driver.call("wait-window", "wait", "visible", "--timeout", harness.SEARCH_LIMIT_MS)
        shown = time.monotonic()
        # The wait box shows while the window initialises, before the window.
        driver.call("wait-window", "main", "visible", "--timeout", harness.SEARCH_LIMIT_MS)
        if focus is not None:
            driver.call("focus", focus)
        children = lanbench.descendants(program.process.pid)
        # The random moment of the search, not a wait for a condition.
        time.sleep(max(0.0, shown + moment - time.monotonic()))
        closed = time.monotonic()
        answer = driver.try_call(*close)
        faults = []
        if not answer.get("ok"):
            faults.append("the close was refused: %s" % answer.get("error"))
        deadline = closed + EXIT_LIMIT_S
        ended = watch.wait(deadline)
        seconds = watch.ended_at - closed if ended else None
        if not ended:
            box = driver.try_call("msgbox")
            faults.append("still running %.0f s after the close" % EXIT_LIMIT_S +
                          ("; message box %r" % box.get("text") if box.get("ok") else ""))
        elif watch.status != EXPECTED_STATUS:
            faults.append("exit status %s" % watch.status)
        # What the program started, and any other process of it, is gone
        # within the same limit.
        def others_left():
            named = lanbench.processes_named(harness.PROGRAM) - {program.process.pid}
            return sorted(pid for pid in children | named if lanbench.alive(pid))

        try:
            harness.wait_until(lambda: not others_left(), max(0.0, deadline - time.monotonic()),
                               "the program's processes to end", interval=0.02)
        except AssertionError:
            faults.append("processes left: %s" % others_left())
        return not faults, seconds, faults
    finally:
        program.kill()
        for pid in lanbench.processes_named(harness.PROGRAM):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--iterations", type=int, default=100)
    parser.add_argument("--seed", type=int, default=None)
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(2**32)
    rng = random.Random(seed)

    workdir = tempfile.mkdtemp(prefix="close-", dir=os.environ.get("TESTLAN_DIR"))
    print("closing under load: %d closes at random moments of a search of %d devices (seed %d)" %
          (args.iterations, DEVICES, seed))
    print("clean exit: status %d and every process of the program gone within %.0f s of the close, "
          "no message box left; goal: all clean" % (EXPECTED_STATUS, EXIT_LIMIT_S))
    print("moments: uniform within %.1f s of the wait box showing\n" % MOMENT_S, flush=True)

    results = {name: [] for name, _, _ in WAYS}
    with lanbench.QuietSimulator(DEVICES, workdir), harness.UiDriver(caption=harness.CAPTION,
                                                                      timeout_ms=20000) as driver:
        for iteration in range(args.iterations):
            way = WAYS[iteration % len(WAYS)]
            moment = rng.uniform(0, MOMENT_S)
            clean, seconds, faults = close_once(driver, workdir, way, moment)
            results[way[0]].append((clean, seconds))
            if not clean:
                print("iteration %d, %s at %.2f s: %s" % (iteration + 1, way[0], moment, "; ".join(faults)),
                      flush=True)

    header = "%-10s %10s %12s %13s" % ("way", "iterations", "clean exits", "slowest exit")
    print("\n" + header)
    print("-" * len(header))
    for name, runs in results.items():
        times = [seconds for _, seconds in runs if seconds is not None]
        slowest = "%.2f s" % max(times) if times else "-"
        if len(times) < len(runs):
            slowest = "> %.0f s" % EXIT_LIMIT_S
        print("%-10s %10d %12d %13s" % (name, len(runs), sum(clean for clean, _ in runs), slowest))
    total = sum(clean for runs in results.values() for clean, _ in runs)
    print("\nclean exits: %d/%d" % (total, args.iterations))
    record("closing under load", "clean exits", "%d/%d" % (total, args.iterations), "100/100",
           total == args.iterations >= 100)
    return 0 if total == args.iterations else 1


if __name__ == "__main__":
    sys.exit(main())
