#!/usr/bin/env python3
"""What answering ARP costs the simulator at a large site: 4,096 simulated
devices (--devices), 155 of them in the test LAN's subnet 198.51.100.0/24,
once with ARP answering off (--no-arp, the baseline, measured in the same
run) and once on (nwsim's default), each in two steps:

  probe         nwctl probe 198.51.100.0/24 alone: the simulator's CPU
                time, the probe's time, the addresses it found used
  search+probe  nwctl search (five requests, every device answering each in
                one burst) with the same probe running beside it: the share
                of the devices listed, the simulator's CPU time, and its
                slowest burst, from a request to its last reply

The simulator's CPU time is the time the scheduler ran it
(/proc/PID/schedstat, in nanoseconds), read before and after each step; it
writes its log as it always does. Runs inside tools/testlan/testlan
(bench/run.sh arp)."""

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


def cpu_seconds(pid):
    """The time a process has run on a CPU so far."""
    with open("/proc/%d/schedstat" % pid) as f:
        return int(f.read().split()[0]) / 1e9


def probe():
    return subprocess.Popen([NWCTL, "probe", SUBNET, "--format", "json"], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)


def used(process):
    out, _ = process.communicate(timeout=120)
    return sum(1 for entry in json.loads(out) if entry["state"] != "free")


def slowest_burst(path):
    """The longest time from a search request to the last reply to it, read
    from the log line by line: at this size the log is large."""
    bursts = []  # [request time, last reply time]
    with open(path) as log:
        for line in log:
            if '"dir": "in"' in line and '"hex": "03000000' in line:
                bursts.append([json.loads(line)["mono"], None])
            elif '"dir": "out"' in line and bursts:
                bursts[-1][1] = json.loads(line)["mono"]
    return max((last - asked for asked, last in bursts if last is not None), default=None)


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
            "beside_used": beside, "search_cpu": search_cpu, "burst": slowest_burst(log_path),
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
    print("%-3s  %-30s  %-47s  %s" % ("ARP", "probe alone: used, time, CPU", "search + probe: listed, used, CPU, "
                                      "slowest burst", "ARP replies"))
    for name, r in (("off", off), ("on", on)):
        print("%-3s  %3d, %5.2f s, %6.4f s CPU       %5.1f%%, %3d, %6.3f s CPU, %5.3f s               %d"
              % (name, r["probe_used"], r["probe_time"], r["probe_cpu"], 100 * r["listed"], r["beside_used"],
                 r["search_cpu"], r["burst"] or 0, r["arp_replies"]), flush=True)
    found = on["probe_used"] == on["beside_used"] == in_subnet and off["probe_used"] == off["beside_used"] == 2
    record("arp", "%d devices answering ARP: a /24 probe found, simulator CPU" % args.devices,
           "%d/%d, %.4f s (off: %.4f s)" % (on["probe_used"], in_subnet, on["probe_cpu"], off["probe_cpu"]),
           "all, under 0.1 s", found and on["probe_cpu"] < 0.1)
    record("arp", "search of %d beside a /24 probe: listed, simulator CPU, slowest burst" % args.devices,
           "%.1f%%, %.2f s, %.0f ms (ARP off: %.1f%%, %.2f s, %.0f ms)"
           % (100 * on["listed"], on["search_cpu"], 1000 * (on["burst"] or 0), 100 * off["listed"], off["search_cpu"],
              1000 * (off["burst"] or 0)),
           "100%, CPU within 10% of off", on["listed"] == 1 and on["search_cpu"] <= 1.1 * off["search_cpu"])
    return 0 if found and on["listed"] == off["listed"] == 1 else 1


if __name__ == "__main__":
    sys.exit(main())
