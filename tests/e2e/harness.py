"""What every end-to-end test of the program needs: the program itself under
Wine in a working folder of its own, the UI driver beside it, and the device
simulator on the device side. Runs only inside tools/testlan/testlan.

    class WindowTest(harness.ProgramTest):
        def test_caption(self):
            self.start_program()
            ...
"""

import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from simulator import REPLY_PORT, Simulator
from uidriver import UiDriver, UiDriverError, from_ansi, to_ansi, wine_path  # noqa: F401 (re-exported)
from windows_build import BUILD_DIR, SOURCE_DIR, wine  # noqa: F401 (re-exported)

PROGRAM = os.path.join(BUILD_DIR, "bin", "Nodewright.exe")
CAPTION = "Nodewright ( 2.1.0.5.1 )"
TITLE = "Nodewright"  # message boxes: the executable's name


def _resource_ids(path):
    """The program's resource and control ids, as its resource header
    defines them (it holds only #define lines)."""
    ids = {}
    with open(path) as header:
        for line in header:
            match = re.match(r"#define\s+(\w+)\s+(\w+)\s*$", line)
            if match:
                ids[match.group(1)] = int(match.group(2), 0)
    return ids


RESOURCE_IDS = _resource_ids(os.path.join(SOURCE_DIR, "res", "resource.h"))
# Every control id of the header (IDC_...) is a name of this module.
globals().update({name: value for name, value in RESOURCE_IDS.items() if name.startswith("IDC_")})



def _list_columns(path):
    """The device list's column indices by name, from the enum that gives
    them in the program's source."""
    with open(path) as header:
        body = re.search(r"enum DeviceListColumn : int \{(.*?)\};", header.read(), re.S).group(1)
    names = re.findall(r"\b(COLUMN_\w+)", body)
    return {name: index for index, name in enumerate(names)}


# Every column of the device list (COLUMN_...) is a name of this module.
globals().update(_list_columns(os.path.join(SOURCE_DIR, "devices", "device_rows.h")))

PORT_BOXES = [IDC_WEB_PORT, IDC_CONTROL_PORT, IDC_VIDEO_PORT, IDC_AUDIO_TRANSMIT_PORT, IDC_AUDIO_RECEIVE_PORT]

# The 19 controls a search disables, in the order it disables them.
SEARCH_LOCKED = [IDC_SEARCH, IDC_DEVICE_LIST, IDC_SAVE, IDC_REBOOT, IDC_FACTORY_RESET, IDC_UNINSTALL,
                 IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS, IDC_RADIO_STATIC, IDC_WEB_PORT,
                 IDC_CONTROL_PORT, IDC_VIDEO_PORT, IDC_AUDIO_TRANSMIT_PORT, IDC_AUDIO_RECEIVE_PORT, IDC_USER_ID,
                 IDC_PASSWORD, IDC_ADAPTER]

# A search broadcasts for about five seconds; what follows it gets some room
# on a slow, shared machine.
SEARCH_LIMIT_MS = 30000

OPERATOR_IP = os.environ.get("TESTLAN_OPERATOR_IP", "198.51.100.1")
DEVICE_IP = os.environ.get("TESTLAN_DEVICE_IP", "198.51.100.2")


def reply_queue_bytes():
    """Bytes waiting unread at UDP port 40014 on this side of the LAN (the
    kernel's count for the program's receive socket), or None without one."""
    with open("/proc/net/udp") as table:
        for line in table.readlines()[1:]:
            fields = line.split()
            if fields[1].endswith(":%04X" % REPLY_PORT):
                return int(fields[4].split(":")[1], 16)
    return None


def ip(*args):
    subprocess.run(["ip", *args], check=True)


def lan_addresses():
    """This side's LAN adapters and their IPv4 address arguments."""
    output = subprocess.run(["ip", "-4", "-o", "addr", "show"], capture_output=True, text=True, check=True).stdout
    found = []
    for line in output.splitlines():
        match = re.match(r"\d+:\s+(lan\d+)\s+inet\s+(.*?)\s+scope\s", line)
        if match:
            found.append((match.group(1), match.group(2).split()))
    return found


def restore_lan(addresses):
    """Brings the adapters back up with these addresses (lan_addresses())."""
    for name, address in addresses:
        ip("link", "set", name, "up")
        ip("addr", "replace", *address, "dev", name)
    # Broadcasts leave through the first adapter (as the LAN was made).
    ip("route", "replace", "255.255.255.255/32", "dev", "lan0")


def in_test_lan():
    return "TESTLAN_DEVICE_NS" in os.environ


def wait_until(condition, timeout, what, interval=0.05):
    """Polls condition() every `interval` seconds until it returns something
    true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class WineProcess:
    """A Windows program under Wine, started with `command` (the program and
    its arguments). Its output goes to a file, never a pipe: Wine's helper
    processes may hold a pipe open after the program has ended."""

    def __init__(self, command, output_path, cwd=None, env=None):
        self.output = open(output_path, "wb")
        self.process = subprocess.Popen(wine(*command), cwd=cwd, stdin=subprocess.DEVNULL,
                                        stdout=self.output, stderr=subprocess.STDOUT,
                                        env=dict(os.environ, **(env or {})))

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        """Its exit status, or None when it still runs after `timeout`."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        self.output.close()


class Program(WineProcess):
    """Nodewright.exe under Wine, started in `workdir` (its current folder)."""

    def __init__(self, workdir, exe=PROGRAM, env=None, wrapper=()):
        self.workdir = workdir
        super().__init__([*wrapper, exe], os.path.join(workdir, "program-output.txt"), cwd=workdir, env=env)


class ProgramTest(unittest.TestCase):
    """A test case with a fresh working folder; start_program() brings up the
    program and a UI driver, start_simulator() a device simulator, and all of
    them end with the test."""

    def setUp(self):
        if not in_test_lan():
            self.skipTest("runs only inside tools/testlan/testlan")
        base = os.environ.get("TESTLAN_DIR", tempfile.gettempdir())
        self.workdir = tempfile.mkdtemp(prefix="case-", dir=base)
        self.addCleanup(shutil.rmtree, self.workdir, True)
        self.program = None
        self.driver = None

    def start_simulator(self, **kwargs):
        kwargs.setdefault("log_path", os.path.join(self.workdir, "nwsim-%d.jsonl" % time.monotonic_ns()))
        simulator = Simulator(**kwargs)
        simulator.start()
        self.addCleanup(simulator.stop)
        return simulator

    def start_program(self, wait_search=True, **kwargs):
        """Starts the program; by default waits until its first search ended."""
        self.program = Program(self.workdir, **kwargs)
        self.addCleanup(self.program.kill)
        self.driver = UiDriver(caption=CAPTION, timeout_ms=20000)
        self.addCleanup(self.driver.close)
        self.driver.call("find", "--timeout", 60000)
        if wait_search:
            self.wait_search_done()
        return self.program

    def call(self, *words):
        return self.driver.call(*words)

    def wait_search_done(self):
        """Waits for a search that has been started: its wait box shows for
        about five seconds, then hides, and the controls it disabled are
        enabled again, in order, the adapter box last."""
        self.call("wait-window", "wait", "visible", "--timeout", SEARCH_LIMIT_MS)
        self.call("wait-window", "wait", "hidden", "--timeout", SEARCH_LIMIT_MS)
        self.call("wait-state", SEARCH_LOCKED[-1], "enabled", "--timeout", SEARCH_LIMIT_MS)

    def search(self):
        self.call("click", IDC_SEARCH)
        self.wait_search_done()

    def text(self, control):
        return self.call("text", control)["text"]

    def rows(self):
        return self.call("list", IDC_DEVICE_LIST)["rows"]

    def message_box(self, timeout_ms=20000):
        """The open message box, waited for."""
        self.call("wait-window", "msgbox", "visible", "--timeout", timeout_ms)
        return self.call("msgbox")

    def answer(self, button):
        self.call("msgbox-press", button)

    def assert_no_message_box(self):
        answer = self.driver.try_call("msgbox")
        self.assertFalse(answer.get("ok"), "a message box is open: %s" % answer)

    def expect_message(self, text, button="OK", timeout_ms=20000):
        """Waits for the program's message box, checks its text and caption,
        presses `button` and returns the box as it was."""
        box = self.message_box(timeout_ms)
        self.assertEqual((box["caption"], box["text"]), (TITLE, text))
        self.answer(button)
        return box

    def row_of(self, text, column=COLUMN_IP_ADDRESS):
        """The index of the row whose cell in `column` (by default the IP
        ADDRESS column) shows `text`."""
        for row in self.rows():
            if row["cells"][column] == text:
                return row["index"]
        raise AssertionError("no row shows %r in column %d" % (text, column))

    def sync_replies(self):
        """Returns once the program has handled every datagram that reached
        its port 40014 before this call: the port's receive queue is empty,
        so the program has read them all, and then its window answers a
        message, so the handler of the last one has returned."""
        wait_until(lambda: reply_queue_bytes() == 0, 20, "the program to read every datagram on port 40014")
        self.text(IDC_SEARCH)

    def sync_simulator(self, simulator):
        """Returns once `simulator` has logged every datagram that the
        program sent it before this call: a marker from this side takes the
        same wire to the same socket, after them."""
        marker = b"nw-sync-%d" % time.monotonic_ns()
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
            sender.bind((OPERATOR_IP, 0))
            sender.sendto(marker, (DEVICE_IP, 40013))
        simulator.wait_received(hex=marker.hex(), timeout=20)


def _test_ids(suite):
    for test in suite:
        if isinstance(test, unittest.TestSuite):
            yield from _test_ids(test)
        else:
            yield test.id()


def main():
    """Runs the script's tests; with --shard K/N only every Nth of them from
    the Kth on (in unittest's order), so that N runs, each in a test LAN of
    its own, share a long script between them and together run every test."""
    shard = [arg for arg in sys.argv[1:] if arg.startswith("--shard=")]
    if not shard:
        unittest.main(verbosity=2)
        return
    sys.argv.remove(shard[0])
    match = re.fullmatch(r"--shard=([1-9][0-9]*)/([1-9][0-9]*)", shard[0])
    if not match or int(match.group(1)) > int(match.group(2)):
        raise SystemExit("harness: %s: give --shard=K/N with 1 <= K <= N" % shard[0])
    k, n = int(match.group(1)), int(match.group(2))
    ids = list(_test_ids(unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])))
    mine = [test_id.split(".", 1)[1] for test_id in ids[k - 1::n]]
    if not mine:
        raise SystemExit("harness: shard %d of %d has no tests (the script has %d)" % (k, n, len(ids)))
    unittest.main(verbosity=2, defaultTest=mine)
