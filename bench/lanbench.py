"""What the close and long-run benchmarks share: a device simulator that keeps
no log (hundreds of searches of 1,024 devices would log millions of
datagrams), the program's Linux processes, and a few waits. Runs only inside
tools/testlan/testlan; the end-to-end modules are used as they are."""

import os
import signal
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402
from simulator import SimulatorError, nwsim_path  # noqa: E402

BIN = os.path.join(harness.BUILD_DIR, "bin")


class QuietSimulator:
    """nwsim serving `count` patterned devices on the device side, without a
    log: it only answers."""

    def __init__(self, count, workdir):
        self.output_path = os.path.join(workdir, "nwsim-%d.out" % count)
        self.output = open(self.output_path, "wb")
        self.process = subprocess.Popen(
            [os.environ["TESTLAN_ON_DEVICE"], nwsim_path(), "serve", "--devices", str(count)],
            stdin=subprocess.DEVNULL, stdout=self.output, stderr=subprocess.STDOUT)
        try:
            harness.wait_until(lambda: b"nwsim: ready" in self._printed() or self.process.poll() is not None, 30,
                               "nwsim to be ready")
            if self.process.poll() is not None:
                raise SimulatorError("nwsim ended: %s" % self._printed().decode("utf-8", "replace"))
        except BaseException:
            self.stop()
            raise

    def _printed(self):
        with open(self.output_path, "rb") as printed:
            return printed.read()

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.output.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def _processes():
    """{pid: (parent pid, first word of the command line)} of the processes in
    this network namespace: the LAN's operator side. (The machine's other
    test LANs share the process table.)"""
    table = {}
    own = os.readlink("/proc/self/ns/net")
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            if os.readlink("/proc/%s/ns/net" % name) != own:
                continue
            with open("/proc/%s/stat" % name, "rb") as stat:
                fields = stat.read().rsplit(b")", 1)[1].split()
            with open("/proc/%s/cmdline" % name, "rb") as cmdline:
                command = cmdline.read().split(b"\0", 1)[0].decode("utf-8", "replace")
        except OSError:
            continue
        if fields[0] != b"Z":
            table[int(name)] = (int(fields[1]), command)
    return table


def descendants(pid):
    """The live processes started, directly or not, by process `pid`."""
    table = _processes()
    found, frontier = set(), {pid}
    while frontier:
        frontier = {child for child, (parent, _) in table.items() if parent in frontier and child not in found}
        found |= frontier
    return found


def processes_named(executable):
    """Live processes of this side of the LAN whose command is a Windows or
    Linux path to a file named as `executable` (Wine shows a program's path
    as its command)."""
    name = os.path.basename(executable).lower()
    return {pid for pid, (_, command) in _processes().items()
            if command.replace("\\", "/").rsplit("/", 1)[-1].lower() == name}


def alive(pid):
    try:
        with open("/proc/%d/stat" % pid, "rb") as stat:
            return stat.read().rsplit(b")", 1)[1].split()[0] != b"Z"
    except OSError:
        return False


def resident_anonymous_bytes(pid):
    """The process's resident anonymous memory (RssAnon), in bytes."""
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("RssAnon:"):
                return int(line.split()[1]) * 1024
    return None
