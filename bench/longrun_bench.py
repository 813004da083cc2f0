#!/usr/bin/env python3
"""Long runs: one program runs many searches in a row against 1,024 simulated
devices, with Saves between them, and its resources must not grow.

Every search (the one at start-up is the first, the others are clicks on
Search) is waited for to its end, and then its list must hold all 1,024
devices. After searches, Saves go to a device of the list with the device's
own settings; each must be answered with the "Apply" box, which is closed.
After each search and its Saves, the program's resources are sampled from
outside by bench/resprobe:

  private   private bytes (GetProcessMemoryInfo's PrivateUsage); Wine answers
            0 for another process, so there it is the process's resident
            anonymous memory (Linux's RssAnon), the pages it has written
  handles   kernel handles (GetProcessHandleCount; under Wine the process's
            entries of the system's handle list)
  USER      USER objects (GetGuiResources); Wine answers 0, so there the
            program's windows are counted, the bulk of its USER objects
  GDI       GDI objects (GetGuiResources; under Wine the live entries of the
            process's GDI handle table)

The baseline is the same program earlier in the same run: the figures after
the 10th search. Growth per 100 searches = (figure after the last search -
figure after the 10th) * 100 / (searches - 10), held against a stated bound.

Runs inside tools/testlan/testlan (see bench/run.sh)."""

import argparse
import os
import subprocess
import sys
import tempfile
import time

import lanbench
from lanbench import harness
from summary import record

DEVICES = 1024
BASELINE_SEARCH = 10
# Growth per 100 searches that counts as none: allocator and Wine noise.
BOUNDS = {"private": 1024 * 1024, "handles": 10, "user": 10, "gdi": 10}
RESPROBE = os.path.join(lanbench.BIN, "resprobe.exe")


def sample(pid):
    """The program's figures: {private, handles, user, gdi}, and where the
    USER and private figures come from."""
    done = subprocess.run(harness.wine(RESPROBE, harness.CAPTION), capture_output=True, text=True,
                          stdin=subprocess.DEVNULL, timeout=60)
    if done.returncode != 0:
        raise RuntimeError("resprobe failed: %s" % done.stderr.strip())
    words = done.stdout.split()
    figures = dict(zip(words[0::2], words[1::2]))
    result = {name: int(figures[name]) for name in ("private", "handles", "user", "gdi", "windows")}
    result["source"] = figures["source"]
    if result["private"] < 0:
        result["private"] = lanbench.resident_anonymous_bytes(pid)
    if result["user"] < 0:
        result["user"] = result["windows"]
    return result


class LongRun:
    def __init__(self, driver):
        self.driver = driver
        self.incomplete = []  # (search, rows listed)
        self.failed_saves = []  # (search, what was shown)

    def search(self):
        """A click on Search, waited for until the search has started: the
        click returns once the program has taken the input in, which may be
        before the button has handled it."""
        self.driver.call("click", harness.IDC_SEARCH)
        self.driver.call("wait-window", "wait", "visible", "--timeout", harness.SEARCH_LIMIT_MS)

    def wait_search_done(self):
        self.driver.call("wait-window", "wait", "hidden", "--timeout", harness.SEARCH_LIMIT_MS)
        self.driver.call("wait-state", harness.SEARCH_LOCKED[-1], "enabled", "--timeout", harness.SEARCH_LIMIT_MS)

    def check_rows(self, search):
        count = self.driver.call("list", harness.IDC_DEVICE_LIST, "--count", 0)["count"]
        if count != DEVICES:
            self.incomplete.append((search, count))

    def save(self, search, row):
        """A Save of the device in `row` with its own settings, and its
        answer's box closed."""
        self.driver.call("list-click", harness.IDC_DEVICE_LIST, row, harness.COLUMN_MAC_ADDRESS)
        self.driver.call("click", harness.IDC_SAVE)
        self.driver.call("wait-window", "msgbox", "visible", "--timeout", 20000)
        box = self.driver.call("msgbox")
        if box["text"] != "Apply":
            self.failed_saves.append((search, box["text"]))
        self.driver.call("msgbox-press", "OK")


def growth(samples, name, last):
    first = samples[BASELINE_SEARCH][name]
    return (samples[last][name] - first) * 100.0 / (last - BASELINE_SEARCH)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--searches", type=int, default=200)
    parser.add_argument("--saves", type=int, default=200)
    args = parser.parse_args()
    if args.searches <= BASELINE_SEARCH:
        parser.error("--searches must be more than %d" % BASELINE_SEARCH)

    workdir = tempfile.mkdtemp(prefix="longrun-", dir=os.environ.get("TESTLAN_DIR"))
    print("long run: %d searches in a row against %d devices, %d Saves with their answers" %
          (args.searches, DEVICES, args.saves))
    print("baseline: the same run's figures after search %d; growth per 100 searches from there to search %d\n" %
          (BASELINE_SEARCH, args.searches), flush=True)

    samples = {}
    saves_done = 0
    started = time.monotonic()
    with lanbench.QuietSimulator(DEVICES, workdir), harness.UiDriver(caption=harness.CAPTION,
                                                                      timeout_ms=20000) as driver:
        program = harness.Program(workdir)
        try:
            run = LongRun(driver)
            driver.call("find", "--timeout", 60000)
            driver.call("wait-window", "main", "visible", "--timeout", harness.SEARCH_LIMIT_MS)
            run.wait_search_done()
            driver.call("type", harness.IDC_USER_ID, "admin")
            driver.call("type", harness.IDC_PASSWORD, "admin")
            for search in range(1, args.searches + 1):
                if search > 1:
                    run.search()
                    run.wait_search_done()
                run.check_rows(search)
                # The Saves spread evenly over the searches.
                due = search * args.saves // args.searches
                while saves_done < due:
                    run.save(search, (saves_done * 37) % DEVICES)
                    saves_done += 1
                samples[search] = sample(program.process.pid)
                if search in (1, BASELINE_SEARCH) or search % 50 == 0:
                    figures = samples[search]
                    print("after search %3d (%4.0f s): private %.2f MB, handles %d, USER %d, GDI %d" % (
                        search, time.monotonic() - started, figures["private"] / 2**20, figures["handles"],
                        figures["user"], figures["gdi"]), flush=True)
            driver.call("syscommand", 0xF060)
            status = program.wait_exit(30)
        finally:
            program.kill()

    last = args.searches
    wine = samples[last]["source"] == "wine"
    names = [
        ("private", "private bytes" + (" (RssAnon)" if wine else ""), lambda v: "%.2f MB" % (v / 2**20)),
        ("handles", "handles", str),
        ("user", "USER objects" + (" (windows)" if wine else ""), str),
        ("gdi", "GDI objects" + (" (table)" if wine else ""), str),
    ]
    header = "%-26s %12s %12s %14s %12s  %s" % ("figure", "search %d" % BASELINE_SEARCH, "search %d" % last,
                                               "per 100 srch", "bound", "")
    print("\n" + header)
    print("-" * len(header))
    within = True
    for name, title, shown in names:
        per100 = growth(samples, name, last)
        ok = per100 < BOUNDS[name]
        within &= ok
        print("%-26s %12s %12s %14s %12s  %s" % (
            title, shown(samples[BASELINE_SEARCH][name]), shown(samples[last][name]),
            ("%+.3f MB" % (per100 / 2**20)) if name == "private" else "%+.1f" % per100,
            "< " + shown(BOUNDS[name]), "ok" if ok else "GROWS"))
    print()
    listed = "every search listed all %d devices" % DEVICES if not run.incomplete else \
        "%d searches did not list all %d: %s" % (len(run.incomplete), DEVICES, run.incomplete[:10])
    print(listed)
    print("Saves answered \"Apply\": %d/%d%s" % (saves_done - len(run.failed_saves), args.saves,
                                                "" if not run.failed_saves else "; others: %s" % run.failed_saves[:10]))
    print("exit after the run: %s" % ("status %d" % status if status is not None else "still running after 30 s"))
    print("resources: %s" % ("no growth beyond the bounds" if within else "GROWTH beyond a bound"))
    clean = within and not run.incomplete and not run.failed_saves and saves_done == args.saves and status == 0
    long_enough = args.searches >= 200 and args.saves >= 200
    record("long run", "searches listing all %d, Saves answered" % DEVICES,
           "%d/%d, %d/%d" % (args.searches - len(run.incomplete), args.searches,
                             saves_done - len(run.failed_saves), args.saves), "200/200, 200/200",
           long_enough and not run.incomplete and not run.failed_saves)
    for name, title, shown in names:
        per100 = growth(samples, name, last)
        record("long run", title + ", growth per 100 searches",
               ("%+.3f MB" % (per100 / 2**20)) if name == "private" else "%+.1f" % per100,
               "< " + shown(BOUNDS[name]), long_enough and per100 < BOUNDS[name])
    return 0 if clean else 1


if __name__ == "__main__":
    sys.exit(main())
