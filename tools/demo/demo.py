#!/usr/bin/env python3
"""The demo of ./nw run, inside the private test LAN: eight simulated cameras
on the device side, the program on the operator side, and a screenshot of
its window once its first search has listed them."""

import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402
from simulator import Simulator  # noqa: E402
from uidriver import UiDriver  # noqa: E402

DEVICES = os.path.join(ROOT, "tools", "demo", "demo-devices.ini")
DEVICE_COUNT = 8


def main(screenshot, stay):
    workdir = tempfile.mkdtemp(prefix="demo-", dir=os.environ.get("TESTLAN_DIR"))
    with Simulator(config=DEVICES, log_path=os.path.join(workdir, "nwsim.jsonl")):
        program = harness.Program(workdir)
        try:
            with UiDriver(caption=harness.CAPTION, timeout_ms=30000) as driver:
                driver.call("find", "--timeout", 60000)
                driver.call("wait-rows", harness.IDC_DEVICE_LIST, DEVICE_COUNT, "--timeout", 30000)
                driver.call("wait-state", harness.IDC_SEARCH, "enabled", "--timeout", 30000)
                driver.call("wait-window", "wait", "hidden", "--timeout", 30000)
                rect = driver.call("describe")["rect"]
                subprocess.run(["import", "-window", "root", "-crop",
                                "%dx%d+%d+%d" % (rect["w"], rect["h"], rect["x"], rect["y"]), "+repage", screenshot],
                               check=True)
                rows = driver.call("list", harness.IDC_DEVICE_LIST)["rows"]
            print("Nodewright found %d devices on the test LAN:" % len(rows))
            for row in rows:
                print("  " + "  ".join(row["cells"][harness.COLUMN_NO:]))
            print("Screenshot of its window: %s" % screenshot)
            if stay:
                print("The program runs on your display: close its window to end the demo.")
                program.process.wait()
        finally:
            program.kill()


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]), "--stay" in sys.argv[2:])
