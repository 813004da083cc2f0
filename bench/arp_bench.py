#!/usr/bin/env python3
"""What answering ARP costs the simulator at a large site: 4,096 simulated
devices (--devices), 155 of them in the test LAN's subnet 198.51.100.0/24,
once with ARP answering off (--no-arp, the baseline, measured in the same
run) and once on (nwsim's default), each in two steps:

  probe         nwctl probe 198.51.100.0/24 alone: the simulator's CPU
                time, the probe's time, the addresses it found used
  search+probe  nwctl search (five requests, every device answering each in
                one burst) with the same probe running beside it: the share
                of the devices listed, the simulator's CPU time, and the
                time from its first reply to its last

The simulator's CPU time is its user and system time from /proc, read
before and after each step; it writes its log as it always does. Runs inside
tools/testlan/testlan (bench/run.sh arp)."""

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "bench"))

from simulator import Simulator  # noqa: E402
from summary import record  # noqa: E402

NATIVE_BUILD = os.environ.get("NW_NATIVE_BUILD_DIR") or os.path.join(ROOT, "build", "native")
NWCTL = os.path.join(NATIVE_BUILD, "bin", "nwctl")
SUBNET = "198.51.100.0/24"
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User and system time of a process so far."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def probe():
    return subprocess.Popen([NWCTL, "probe", SUBNET, "--format", "json"], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)


def used(process):
    out, _ = process.communicate(timeout=120)
    return sum(1 for entry in json.loads(out) if entry["state"] != "free")


def reply_span(path, after):
    """Seconds from the first reply logged at or after `after` (monotonic)
    to the last."""
    first = last = None
    with open(path) as log:
        for line in log:
            if '"dir": "out"' in line:
                mono = json.loads(line)["mono"]
                if mono >= after:
                    first = mono if first is None else first
                    last = mono
    return last - first if first is not None else None


def measure(devices, arp, workdir):
    log_path = os.path.join(workdir, "nwsim-%s.jsonl" % ("arp" if arp else "no-arp"))
    with Simulator(count=devices, log_path=log_path, arp=arp) as simulator:
        pid = simulator.events("ready")[0]["pid"]

        before = cpu_seconds(pid)
        started = time.monotonic()
        alone = used(probe())
        probe_time = time.monotonic() - started
        probe_cpu = cpu_seconds(pid) - before

        before = cpu_seconds(pid)
        started = time.monotonic()
        listing = os.path.join(workdir, "search-%s.csv" % arp)
        with open(listing, "w") as output:
            search = subprocess.Popen([NWCTL, "search", "--format", "csv"], stdout=output,
                                      stderr=subprocess.DEVNULL)
            beside = used(probe())
            search.wait(timeout=120)
        search_cpu = cpu_seconds(pid) - before
    with open(listing) as output:
        listed = len(output.readlines()) - 1
    stop = [e for e in simulator.entries() if e.get("event") == "stop"][0]
    return {"probe_used": alone, "probe_time": probe_time, "probe_cpu": probe_cpu, "listed": listed / devices,
            "beside_used": beside, "search_cpu": search_cpu, "span": reply_span(log_path, started),
            "arp_replies": stop.get("arp_replies", 0)}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--devices", type=int, default=4096)
    args = parser.parse_args()
    workdir = tempfile.mkdtemp(prefix="bench-arp-", dir=os.environ.get("TESTLAN_DIR"))
    # The patterned devices from 198.51.100.100 on, the subnet's broadcast
    # address among them, and the two sides' own addresses.
    in_subnet = min(args.devices, 155) + 2
    off, on = measure(args.devices, False, workdir), measure(args.devices, True, workdir)

    print("%d devices, %d of them in %s" % (args.devices, in_subnet - 2, SUBNET))
    print("%-7s  %-28s  %-44s  %s" % ("ARP", "probe alone: used, time, CPU", "search + probe: listed, used, CPU, "
                                      "replies over", "ARP replies"))
    for name, r in (("off", off), ("on", on)):
        print("%-7s  %3d, %5.2f s, %5.3f s CPU         %5.1f%%, %3d, %5.2f s CPU, %5.2f s                  %d"
              % (name, r["probe_used"], r["probe_time"], r["probe_cpu"], 100 * r["listed"], r["beside_used"],
                 r["search_cpu"], r["span"] or 0, r["arp_replies"]), flush=True)
    found = on["probe_used"] == on["beside_used"] == in_subnet and off["probe_used"] == off["beside_used"] == 2
    record("arp", "%d devices answering ARP: a /24 probe found, simulator CPU" % args.devices,
           "%d/%d, %.3f s (off: %.3f s)" % (on["probe_used"], in_subnet, on["probe_cpu"], off["probe_cpu"]),
           "all, under 0.1 s", found and on["probe_cpu"] < 0.1)
    record("arp", "search of %d beside a /24 probe: listed, simulator CPU" % args.devices,
           "%.1f%%, %.2f s (ARP off: %.1f%%, %.2f s)" % (100 * on["listed"], on["search_cpu"], 100 * off["listed"],
                                                          off["search_cpu"]),
           "100%, within 10% of off", on["listed"] == 1 and on["search_cpu"] <= 1.1 * off["search_cpu"])
    return 0 if found and on["listed"] == off["listed"] == 1 else 1


if __name__ == "__main__":
    sys.exit(main())
