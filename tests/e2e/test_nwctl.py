#!/usr/bin/env python3
"""nwctl end to end: the real program on the operator side of the private test
LAN against the device simulator, every command, its output, its exit status
and the datagrams the simulator logged. Runs in a LAN with two adapters.

    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl.py          # native build
    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl.py --wine   # nwctl.exe under Wine

NW_BUILD_DIR names the build that holds nwctl (or nwctl.exe with --wine),
NW_NATIVE_BUILD_DIR the native build with the simulator. Under Wine only the
Windows-specific paths run: search and set.
"""

import json
import os
import pty
import select
import signal
import subprocess
import sys
import time
import unittest

import harness
import lan_hosts
from simulator import (FACTORY_RESET, REBOOT, RECORD_SIZE, REPLY_PORT, SEARCH, SEARCH_REPLY, SET_CONFIG, DeviceSender,
                       make_record, parse_record, password_digest, send_datagram)
from test_commands import put_number, put_text, stamped

WINE = "--wine" in sys.argv
if WINE:
    sys.argv.remove("--wine")

SOURCE_DIR = harness.SOURCE_DIR
BUILD_DIR = harness.BUILD_DIR if WINE else os.environ.get("NW_BUILD_DIR") or os.path.join(SOURCE_DIR, "build", "native")
NWCTL = os.path.join(BUILD_DIR, "bin", "nwctl.exe" if WINE else "nwctl")

OPERATOR_IP = os.environ.get("TESTLAN_OPERATOR_IP", "198.51.100.1")
SECOND_IP = "198.51.100.11"  # the operator side of the second adapter
DEVICE_IP = os.environ.get("TESTLAN_DEVICE_IP", "198.51.100.2")

FIELD_NAMES = ["mac", "ip", "mask", "gateway", "dns", "mode", "web_port", "control_port", "video_port",
               "audio_transmit_port", "audio_receive_port", "https", "product", "maker", "firmware", "name", "adapter"]
# Vocabulary name -> record field, for the settings.
SETTINGS = {"ip": "ipAddress", "mask": "subnetMask", "gateway": "gateway", "dns": "dns", "web_port": "webPort",
            "control_port": "controlPort", "video_port": "videoPort", "audio_transmit_port": "audioTransmitPort",
            "audio_receive_port": "audioReceivePort"}
RESULT_TEXTS = ["Apply", "Failed", "Failed. Invalid address", "Failed. Invalid port", "Failed. Invalid config",
                "Failed. login failed"]

# Under Wine no address can be probed (its SendARP is a stub), so set is
# refused unless told to take the addresses as free: the tests about other
# things tell it (test_nwctl_unprobed.py shows the refusal).
UNPROBED_OK = ["--unprobed-ok"] if WINE else []

# Exit statuses, as nwctl --help lists them.
OK, NETWORK, USAGE, NOT_FOUND, NO_ANSWER, NOT_CONFIRMED, PLAN_REFUSED, PLAN_FAILED, REPORTED, NO_DEVICES = range(10)


def mac(n):
    return "00:1A:2B:00:%02X:%02X" % (n >> 8, n & 0xFF)


def patterned(n):
    """What `nwsim --devices` plays as device n (from 1), as nwctl prints it."""
    return {"mac": mac(n), "ip": "198.51.100.%d" % (99 + n), "mask": "255.255.255.0", "gateway": "198.51.100.254",
            "dns": "198.51.100.253", "mode": "static", "web_port": 80, "control_port": 30001, "video_port": 30002,
            "audio_transmit_port": 30004, "audio_receive_port": 30003, "https": 0, "product": "SimCam-%04d" % n,
            "maker": "Nodewright Lab", "firmware": "1.4.2_20240115", "name": "cam-%04d" % n, "adapter": "lan0"}


# What the window program sends, built from the record it stores: the same
# model its own end-to-end tests hold the window to.

def expected_save(stored, user, password, changes):
    """The Save record after a click on the device's row and the panel's
    boxes changed as `changes` says (vocabulary names; mode as text)."""
    shown = parse_record(stored)
    record = bytearray(stamped(stored, SET_CONFIG, user, password))
    mode = {"static": 0, "dhcp": 1}.get(changes.get("mode"), shown["dhcp"] if shown["dhcp"] in (0, 1) else -1)
    put_number(record, "dhcp", mode)
    for name, field in SETTINGS.items():
        if field.endswith("Port"):
            put_number(record, field, int(changes[name]) if name in changes else shown[field])
        else:
            put_text(record, field, changes.get(name, shown[field]))
    return bytes(record)


def datagram(entry):
    data = bytes.fromhex(entry["hex"])
    assert entry["length"] == len(data) == RECORD_SIZE, entry
    return data


class Run:
    """One finished nwctl run."""

    def __init__(self, status, stdout, stderr):
        self.status, self.stdout, self.stderr = status, stdout, stderr

    def __repr__(self):
        return "exit %s\n--- stdout\n%s--- stderr\n%s" % (self.status, self.stdout, self.stderr)

    def csv_rows(self):
        import csv
        import io
        return list(csv.DictReader(io.StringIO(self.stdout)))


class NwctlTest(harness.ProgramTest):
    """A fresh working folder, and simulators that end with the test (the
    window's fixture; nwctl needs no window)."""

    def path(self, name):
        """A file of the working folder, as nwctl names it."""
        path = os.path.join(self.workdir, name)
        return "Z:" + path.replace("/", "\\") if WINE else path

    def write(self, name, text):
        with open(os.path.join(self.workdir, name), "w", newline="") as f:
            f.write(text)
        return self.path(name)

    def command(self, *args):
        return harness.wine(NWCTL, *args) if WINE else [NWCTL, *map(str, args)]

    def start(self, *args, password=None):
        """Starts nwctl with no terminal; returns what finish() takes. Its
        output goes to files: Wine's helpers may hold a pipe open after the
        program ended."""
        env = dict(os.environ)
        env.pop("NW_PASSWORD", None)
        if password is not None:
            env["NW_PASSWORD"] = password
        out_path = os.path.join(self.workdir, "out-%d" % time.monotonic_ns())
        with open(out_path + ".stdout", "wb") as out, open(out_path + ".stderr", "wb") as err:
            # Ctrl-C as at a terminal: the test runner may have been started
            # with interrupts ignored, which a child inherits.
            process = subprocess.Popen(self.command(*args), stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                       env=env, cwd=self.workdir,
                                       preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
        return process, out_path

    def finish(self, started, timeout=120):
        process, out_path = started
        try:
            status = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            raise
        with open(out_path + ".stdout", "rb") as out, open(out_path + ".stderr", "rb") as err:
            # Wine's console ends lines with CR LF.
            return Run(status, out.read().decode("latin-1").replace("\r\n", "\n"),
                       err.read().decode("latin-1").replace("\r\n", "\n"))

    def nwctl(self, *args, password=None, timeout=120):
        """Runs nwctl to its end with no terminal."""
        return self.finish(self.start(*args, password=password), timeout)

    def assert_run(self, run, status, stdout=None, stderr_has=None):
        self.assertEqual(run.status, status, run)
        if stdout is not None:
            self.assertEqual(run.stdout, stdout, run)
        if stderr_has is not None:
            self.assertIn(stderr_has, run.stderr, run)

    def search_json(self, *args):
        run = self.nwctl("search", "--rounds", 1, "--format", "json", *args)
        self.assert_run(run, OK)
        return json.loads(run.stdout)

    def stored(self, simulator, mac_text):
        """The record the device's first search reply carried."""
        return datagram(simulator.sent(command=SEARCH_REPLY, macAddress=mac_text)[0])


class Search(NwctlTest):
    def test_every_device_once_with_every_field_in_each_format(self):
        hostile = {"mac": "AA:BB:CC:DD:EE:FF", "ip": "198.51.100.200", "product": b"red\x1b[31m,\"q\"\r\n",
                   "maker": b"\x9b" * 32, "deviceName": b"back\\slash", "dhcp": 9, "https": 1, "webPort": 65535,
                   "repeat": 3}
        simulator = self.start_simulator(count=3, devices=[hostile])
        started = time.monotonic()
        run = self.nwctl("search", "--rounds", 2, "--format", "csv")
        self.assert_run(run, OK)
        self.assertGreaterEqual(time.monotonic() - started, 2.0, "two rounds take two seconds")

        # Two requests, a second apart, 371 bytes each, from port 40013 of
        # the first adapter to the broadcast address.
        requests = simulator.wait_received(2, command=SEARCH)
        self.assertEqual(len(requests), 2)
        for request in requests:
            self.assertEqual((request["peer"], request["peer_port"], request["local_address"], request["length"]),
                             (OPERATOR_IP, 40013, "255.255.255.255", RECORD_SIZE))
            self.assertEqual(bytes.fromhex(request["hex"]), b"\x03" + bytes(RECORD_SIZE - 1))
        self.assertAlmostEqual(requests[1]["mono"] - requests[0]["mono"], 1.0, delta=0.3)

        # Every device once, although the last answered each request three
        # times; its texts escaped, nothing raw.
        self.assertEqual(run.stdout.splitlines()[0], ",".join(FIELD_NAMES))
        rows = run.csv_rows()
        expected = [{k: str(v) for k, v in patterned(n).items()} for n in (1, 2, 3)]
        hostile_row = dict(patterned(4), mac="AA:BB:CC:DD:EE:FF", ip="198.51.100.200", mode="9", https=1,
                           web_port=65535, product='red\\x1B[31m,"q"\\x0D\\x0A', maker="\\x9B" * 32,
                           name="back\\\\slash")
        expected.append({k: str(v) for k, v in hostile_row.items()})
        self.assertEqual(sorted(rows, key=lambda r: r["mac"]), sorted(expected, key=lambda r: r["mac"]))
        self.assertTrue(all(0x20 <= ord(c) < 0x7F or c == "\n" for c in run.stdout), run.stdout)

        # JSON: one array, numbers for ports and https, texts byte for byte.
        devices = {d["mac"]: d for d in self.search_json()}
        self.assertEqual(devices[mac(1)], patterned(1))
        self.assertEqual(devices["AA:BB:CC:DD:EE:FF"]["product"], 'red\x1b[31m,"q"\r\n')
        self.assertEqual(devices["AA:BB:CC:DD:EE:FF"]["maker"], "\x9b" * 32)
        self.assertEqual(devices["AA:BB:CC:DD:EE:FF"]["web_port"], 65535)

        # The table, all of it: a header of the same names, one line per
        # device.
        run = self.nwctl("search", "--rounds", 1, "--wide")
        self.assert_run(run, OK)
        lines = run.stdout.splitlines()
        self.assertEqual(lines[0].split(), FIELD_NAMES)
        self.assertEqual(len(lines), 5)
        self.assertTrue(all(0x20 <= ord(c) < 0x7F or c == "\n" for c in run.stdout), run.stdout)

    def test_replies_outside_the_rules_are_not_listed(self):
        # A device with a MAC text of 24 bytes and no NUL, one whose replies
        # come after the search, and datagrams that are no search reply.
        simulator = self.start_simulator(count=1, devices=[{"macAddress.hex": (b"M" * 24).hex()},
                                                           {"mac": mac(9), "delay": 3}])
        # Sent the moment the search is heard, well within the time it listens.
        sender = DeviceSender()
        self.addCleanup(sender.close)
        search = self.start("search", "--rounds", 1, "--format", "json")
        simulator.wait_received(command=SEARCH, timeout=60)  # Wine may take its time to start
        for extra in [make_record(SEARCH_REPLY, macAddress=mac(20), ipAddress="198.51.100.20") + bytes(1),
                      make_record(SET_CONFIG, macAddress=mac(21), ipAddress="198.51.100.21"),
                      make_record(SEARCH_REPLY, macAddress=mac(22), ipAddress="198.51.100.22")[:RECORD_SIZE - 3]]:
            sender.send(extra, OPERATOR_IP)
        run = self.finish(search)
        self.assert_run(run, OK)
        found = {d["mac"]: d for d in json.loads(run.stdout)}
        # Too long and not a reply: dropped. Short: taken, the rest zero.
        self.assertEqual(sorted(found), sorted([mac(1), "M" * 24, mac(22)]))
        self.assertEqual(found[mac(22)]["https"], 0)
        self.assertEqual(found["M" * 24]["product"], "SimCam-0002", "the MAC text ends at the field's end")

    def test_all_adapters_says_where_each_device_answered(self):
        simulator = self.start_simulator(count=2)
        search = self.start("search", "--adapter", "all", "--rounds", 2, "--format", "json")
        # Both adapters send, each from its own address.
        requests = simulator.wait_received(2, command=SEARCH, timeout=60)
        self.assertEqual({r["peer"] for r in requests[:2]}, {OPERATOR_IP, SECOND_IP})
        # A device only the second adapter hears, and one that answers to
        # the broadcast address: it arrives on the adapter it was sent to.
        send_datagram(SECOND_IP, REPLY_PORT, command=SEARCH_REPLY, macAddress=mac(30), ipAddress="10.9.9.30")
        send_datagram("255.255.255.255", REPLY_PORT, command=SEARCH_REPLY, macAddress=mac(31), ipAddress="10.9.9.31",
                      **{"from": "198.51.100.12"})
        run = self.finish(search)
        self.assert_run(run, OK)
        found = {d["mac"]: d["adapter"] for d in json.loads(run.stdout)}
        self.assertEqual(found[mac(30)], "lan1")
        self.assertEqual(found[mac(31)], "lan1")
        self.assertIn(found[mac(1)], {"lan0", "lan1"})
        self.assertEqual(set(found), {mac(1), mac(2), mac(30), mac(31)})

    def test_adapters_and_bad_choices(self):
        run = self.nwctl("adapters")
        self.assert_run(run, OK)
        lines = [line.split() for line in run.stdout.splitlines()]
        self.assertEqual(lines[0], ["name", "address", "mask"])
        self.assertIn(["lan0", OPERATOR_IP, "255.255.255.0"], lines)
        self.assertIn("lan1", [line[0] for line in lines])
        self.assert_run(self.nwctl("search", "--adapter", "lan9"), NETWORK, "", "no adapter is named")
        # An adapter by its address.
        simulator = self.start_simulator(count=1)
        self.assertEqual([d["adapter"] for d in self.search_json("--adapter", SECOND_IP)], ["lan1"])
        self.assertEqual(simulator.received(command=SEARCH)[-1]["peer"], SECOND_IP)

    def test_version_help_and_no_command(self):
        import re
        with open(os.path.join(SOURCE_DIR, "CMakeLists.txt")) as f:
            version = re.search(r"project\(Nodewright VERSION ([\d.]+)", f.read()).group(1)
        self.assert_run(self.nwctl("--version"), OK, "nwctl %s\n" % version)
        run = self.nwctl("set", "--help")
        self.assert_run(run, OK)
        self.assertIn("15 Failed. login failed", run.stdout.replace("\n", " "))
        self.assert_run(self.nwctl(), USAGE, "", "give a command")

    def test_port_held_by_another_program(self):
        import socket
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as holder:
            holder.bind(("0.0.0.0", REPLY_PORT))
            self.assert_run(self.nwctl("search", "--rounds", 1), NETWORK, "", "40014")

    def test_the_table_fits_a_terminal_and_columns_choose_the_fields(self):
        # Sixteen cameras as the simulator plays them, and one without an
        # address.
        simulator = self.start_simulator(count=16, devices=[{"mac": mac(0x99), "ipAddress.hex": "00"}])
        run = self.nwctl("search", "--rounds", 1)
        self.assert_run(run, OK)
        self.assertEqual(run.stderr, "", "no terminal: no live count, and nothing was lost")
        lines = run.stdout.splitlines()
        self.assertEqual(lines[0].split(), ["mac", "ip", "mode", "product", "firmware"])
        self.assertEqual(len(lines), 18)
        self.assertLessEqual(max(map(len, lines)), 80, run.stdout)
        self.assertIn("%s  198.51.100.100  static  SimCam-0001  1.4.2_20240115" % mac(1), lines)
        self.assertEqual([line.split() for line in lines if line.startswith(mac(0x99))],
                         [[mac(0x99), "-", "static", "SimCam-0017", "1.4.2_20240115"]], "a visible placeholder")

        run = self.nwctl("search", "--rounds", 1, "--wide")
        self.assert_run(run, OK)
        self.assertEqual(run.stdout.splitlines()[0].split(), FIELD_NAMES)
        self.assertEqual(run.stdout.splitlines()[1].split("  ")[:3], [mac(1), "198.51.100.100", "255.255.255.0"])
        self.assertTrue(run.stdout.splitlines()[1].endswith("  Nodewright Lab  1.4.2_20240115  cam-0001  lan0"))

        # The chosen fields, in their order, in every format; CSV and JSON
        # keep the empty address empty (a blank plan cell keeps the value).
        run = self.nwctl("search", "--rounds", 1, "--format", "csv", "--columns", "ip,mac")
        self.assert_run(run, OK)
        self.assertEqual(run.stdout.splitlines()[0], "ip,mac")
        self.assertIn(",%s" % mac(0x99), run.stdout.splitlines())
        self.assertIn("198.51.100.100,%s" % mac(1), run.stdout.splitlines())
        devices = self.search_json("--columns", "mac,web_port,ip")
        self.assertEqual(devices[0], {"mac": mac(1), "web_port": 80, "ip": "198.51.100.100"})
        self.assertEqual(list(devices[0]), ["mac", "web_port", "ip"])
        self.assertIn({"mac": mac(0x99), "web_port": 80, "ip": ""}, devices)
        self.assertEqual(len(self.search_json()[0]), len(FIELD_NAMES), "JSON has every field by default")

        searches = len(simulator.received(command=SEARCH))
        for args, says in [(["--columns", "mac,address"], "no field \"address\"; the fields are " + " ".join(FIELD_NAMES)),
                           (["--columns", "mac,ip,mac"], "--columns names \"mac\" twice"),
                           (["--wide", "--columns", "mac"], "--columns and --wide exclude each other")]:
            with self.subTest(args=args):
                self.assert_run(self.nwctl("search", *args), USAGE, "", says)
        self.assertEqual(len(simulator.received(command=SEARCH)), searches, "a usage error searches nothing")

        if not WINE:
            run = self.nwctl("reboot", mac(0x99), "--user", "admin", "--yes", "--rounds", 1, password="admin")
            self.assert_run(run, OK, "reboot sent to %s at no address (SimCam-0017)\n" % mac(0x99))

    @unittest.skipIf(WINE, "the terminal is Linux's")
    def test_the_live_count_shows_from_the_start_and_through_every_round(self):
        env = dict(os.environ)
        # No device at all: the count shows while the search runs.
        terminal = Terminal(self.command("search", "--rounds", 3), env, self.workdir)
        terminal.wait_for("searching: round 1 of 3, 0 devices found")
        terminal.wait_for("searching: round 2 of 3, 0 devices found")
        self.assertIsNone(terminal.process.poll(), "the count showed before the search ended")
        terminal.finish()
        # The last line covers the longer one before it.
        self.assertRegex(terminal.shown, rb"\rsearched 3 rounds: 0 devices found *\r\n")

        # Devices that all answer at once: the count shows in each round.
        self.start_simulator(count=16)
        terminal = Terminal(self.command("search", "--rounds", 2), env, self.workdir)
        terminal.wait_for("searching: round 1 of 2, 16 devices found")
        terminal.wait_for("searching: round 2 of 2, 16 devices found")
        self.assertIsNone(terminal.process.poll(), "the count showed before the search ended")
        code, stdout = terminal.finish()
        self.assertEqual(code, OK)
        self.assertEqual(len(stdout.splitlines()), 17)
        self.assertRegex(terminal.shown, rb"\rsearched 2 rounds: 16 devices found *\r\n$")
        self.assertLessEqual(terminal.shown.count(b"\r"), 2 * 10 + 3, "at most ten times a second")

    @unittest.skipIf(WINE, "stopping the process and the kernel's drop count are Linux's")
    def test_a_search_that_lost_replies_says_how_many(self):
        import re
        import signal
        import textwrap
        from simulator import make_record

        def process_state(pid):
            with open("/proc/%d/stat" % pid) as f:
                return f.read().rsplit(")", 1)[1].split()[0]  # T: stopped

        def reply_port_drops():
            """The kernel's count of datagrams dropped at port 40014 on this
            side because the receive queue was full."""
            with open("/proc/net/udp") as table:
                return sum(int(line.split()[-1]) for line in table.readlines()[1:]
                           if line.split()[1].endswith(":%04X" % REPLY_PORT))

        # Run on the device side: search replies from one template, each
        # with a MAC of its own, as fast as the socket takes them.
        flood_sender = textwrap.dedent("""
            import socket, sys
            to, port, template, count = sys.argv[1], int(sys.argv[2]), bytes.fromhex(sys.argv[3]), int(sys.argv[4])
            record = bytearray(template)
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                for n in range(count):
                    record[72:96] = (b"02:00:00:%02X:%02X:%02X" % (n >> 16, n >> 8 & 255, n & 255)).ljust(24, b"\\0")
                    s.sendto(record, (to, port))
            print(count)
        """)
        flood = 40000  # far more 371-byte replies than an 8 MB receive buffer holds
        simulator = self.start_simulator(count=1)
        started = self.start("search", "--rounds", 1, "--format", "json")
        process = started[0]
        simulator.wait_received(command=SEARCH)
        process.send_signal(signal.SIGSTOP)
        self.addCleanup(lambda: process.poll() is None and process.send_signal(signal.SIGCONT))
        harness.wait_until(lambda: process_state(process.pid) == "T", 10, "nwctl to stop")
        self.assertIsNone(process.poll(), "nwctl was stopped while it searched")

        # Distinct devices, each once, while nwctl reads nothing; then the
        # kernel shows that the queue overflowed.
        record = make_record(SEARCH_REPLY, ipAddress="198.51.100.77", productName="Flood")
        sender = subprocess.run([os.environ["TESTLAN_ON_DEVICE"], sys.executable, "-c", flood_sender, OPERATOR_IP,
                                 str(REPLY_PORT), record.hex(), str(flood)], capture_output=True, text=True,
                                timeout=120)
        self.assertEqual((sender.returncode, sender.stdout), (0, "%d\n" % flood), sender.stderr)
        harness.wait_until(lambda: reply_port_drops() > 0, 10, "the receive queue to overflow")
        process.send_signal(signal.SIGCONT)

        run = self.finish(started)
        self.assert_run(run, OK)
        listed = len(json.loads(run.stdout))
        sent = flood + 1  # and the simulator's device
        self.assertLess(listed, sent)
        said = re.search(r"nwctl: (\d+) replies were lost because the receive queue was full\. A device missed in one "
                         r"round is usually heard in the next: search with more --rounds \(this search had 1\)\n",
                         run.stderr)
        self.assertIsNotNone(said, run)
        self.assertEqual(int(said.group(1)), sent - listed, run.stderr)


class Terminal:
    """nwctl with a terminal on standard input and error (native only): what
    it shows there can be read, and answers typed."""

    def __init__(self, command, env, cwd, output_on_terminal=False):
        """With `output_on_terminal`, standard output goes to the terminal
        too (a live view); else to a pipe that finish() returns."""
        self.master, slave = pty.openpty()
        self.process = subprocess.Popen(command, stdin=slave, stdout=slave if output_on_terminal else subprocess.PIPE,
                                        stderr=slave, env=env, cwd=cwd,
                                        preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
        os.close(slave)
        self.shown = b""

    def wait_for(self, text, timeout=30):
        deadline = time.monotonic() + timeout
        while text.encode() not in self.shown:
            left = deadline - time.monotonic()
            if left <= 0:
                raise AssertionError("the terminal did not show %r; it shows %r" % (text, self.shown))
            if select.select([self.master], [], [], left)[0]:
                try:
                    self.shown += os.read(self.master, 4096)
                except OSError:
                    raise AssertionError("the terminal closed before %r; it showed %r" % (text, self.shown))

    def type(self, text):
        os.write(self.master, text.encode())

    def echoes(self):
        """Whether the terminal shows what is typed."""
        import termios
        return bool(termios.tcgetattr(self.master)[3] & termios.ECHO)

    def finish(self, timeout=60):
        stdout, _ = self.process.communicate(timeout=timeout)
        while select.select([self.master], [], [], 0)[0]:
            try:
                chunk = os.read(self.master, 4096)
            except OSError:
                break
            if not chunk:
                break
            self.shown += chunk
        os.close(self.master)
        return self.process.returncode, (stdout or b"").decode("latin-1")


class SetCommand(NwctlTest):
    def set(self, target, *args, password="admin", user="admin"):
        return self.nwctl("set", target, "--user", user, "--yes", "--rounds", 1, *UNPROBED_OK, *args,
                          password=password)

    def test_the_save_is_the_windows_record_and_the_device_takes_it(self):
        # A device whose reply carries a stale result and a mode neither
        # radio button shows; the panel sends -1 for that unless told.
        simulator = self.start_simulator(count=2, devices=[{"mac": mac(3), "result": 9, "dhcp": 2}])
        changes = {"ip": "198.51.100.50", "mask": "255.255.0.0", "gateway": "198.51.0.1", "dns": "198.51.0.2",
                   "mode": "static", "web_port": "8080", "control_port": "9001", "video_port": "9002",
                   "audio_transmit_port": "9003", "audio_receive_port": "9004"}
        args = []
        for name, value in changes.items():
            args += ["--static"] if name == "mode" else ["--" + name.replace("_", "-"), value]
        run = self.set("00-1a-2b-00-00-01", *args)
        self.assert_run(run, OK, mac(1) + ": Apply\n")
        self.assertIn("ip 198.51.100.100 -> 198.51.100.50", run.stderr)
        request = simulator.wait_received(command=SET_CONFIG)[0]
        self.assertEqual(request["hex"], expected_save(self.stored(simulator, mac(1)), "admin", "admin", changes).hex())
        self.assertEqual((request["peer"], request["peer_port"], request["local_address"]),
                         (OPERATOR_IP, 40013, "255.255.255.255"))

        # A mode neither static nor dhcp, which the device would refuse, is
        # refused before anything is sent; named, it goes out, and settings
        # not named keep the device's.
        run = self.set(mac(3), "--video-port", 7000)
        self.assert_run(run, PLAN_REFUSED, "", "(with set, --static or --dhcp")
        self.assertEqual(simulator.received(command=SET_CONFIG, macAddress=mac(3)), [])
        run = self.set(mac(3), "--video-port", 7000, "--static")
        self.assert_run(run, OK, mac(3) + ": Apply\n")
        request = simulator.received(command=SET_CONFIG, macAddress=mac(3))[0]
        self.assertEqual(request["hex"], expected_save(self.stored(simulator, mac(3)), "admin", "admin",
                                                       {"video_port": "7000", "mode": "static"}).hex())
        self.assertEqual(request["record"]["result"], 9)

        # The device took the settings: the next search shows them.
        shown = {d["mac"]: d for d in self.search_json()}[mac(1)]
        self.assertEqual({k: str(shown[k]) for k in changes}, changes)

    def test_the_password_from_a_file_or_the_variable(self):
        long_password = "p" * 31 + "-beyond-the-31-bytes"
        simulator = self.start_simulator(devices=[{"mac": mac(1), "password": "p" * 31, "userId": "site admin"}])
        password_file = self.write("pw.txt", long_password + "\r\nsecond line\n")
        run = self.nwctl("set", mac(1), "--web-port", 81, "--user", "site admin", "--password-file", password_file,
                         "--yes", "--rounds", 1, *UNPROBED_OK, password="ignored")
        self.assert_run(run, OK, mac(1) + ": Apply\n")
        request = simulator.received(command=SET_CONFIG)[0]
        self.assertEqual(request["hex"], expected_save(self.stored(simulator, mac(1)), "site admin", long_password,
                                                       {"web_port": "81"}).hex())
        self.assert_run(self.set(mac(1), "--web-port", 82, user="site admin", password="p" * 31), OK)
        for output in (run.stdout, run.stderr):
            self.assertNotIn("ppp", output)

    def test_each_answer_gives_its_exit_status(self):
        devices = [
            {"mac": mac(1), "applyResult": 1},
            {"mac": mac(2), "applyResult": 2},
            {"mac": mac(3), "applyResult": 3},
            {"mac": mac(4), "applyResult": 4},
            {"mac": mac(5), "password": "other"},
            {"mac": mac(6), "applyResult": 9},
            {"mac": mac(7), "applyCount": 0},
            {"mac": mac(8), "applyMac": mac(9)},  # answers as another device
        ]
        self.start_simulator(devices=devices)
        cases = [
            (mac(1), ["--web-port", 81], 11, mac(1) + ": Failed\n"),
            (mac(2), ["--web-port", 81], 12, mac(2) + ": Failed. Invalid address\n"),
            (mac(3), ["--web-port", 81], 13, mac(3) + ": Failed. Invalid port\n"),
            (mac(4), ["--web-port", 81], 14, mac(4) + ": Failed. Invalid config\n"),
            (mac(5), ["--web-port", 81], 15, mac(5) + ": Failed. login failed\n"),
            (mac(6), ["--web-port", 81], 16, mac(6) + ": result 9, which has no text\n"),
            (mac(7), ["--web-port", 81, "--timeout", 0.5], NO_ANSWER, ""),
            (mac(8), ["--web-port", 81, "--timeout", 0.5], NO_ANSWER, ""),
        ]
        for target, args, status, stdout in cases:
            with self.subTest(target=target):
                run = self.set(target, *args)
                self.assert_run(run, status, stdout)
                if status == NO_ANSWER:
                    self.assertIn("no answer within 0.5 seconds", run.stderr)

    def test_refused_before_anything_is_sent(self):
        simulator = self.start_simulator(count=2, devices=[{"mac": mac(1), "ip": "198.51.100.40"}])
        cases = [
            (["--web-port", 81, "--user", "admin", "--yes", "--password", "admin"], "admin", USAGE,
             "--password is refused"),
            (["--web-port", 81, "--user", "admin", "--yes", "--password=admin"], "admin", USAGE,
             "--password is refused"),
            (["--web-port", 81, "--yes"], "admin", USAGE, "--user"),
            (["--web-port", 81, "--user", "admin", "--yes"], None, USAGE, "no password"),
            (["--web-port", 81, "--user", " ", "--yes"], "admin", USAGE, "must not be empty"),
            (["--web-port", 81, "--user", "admin", "--yes", "--password-file", "/nonexistent"], None, USAGE,
             "cannot read"),
            (["--web-port", 70000, "--user", "admin", "--yes"], "admin", USAGE, "--web-port must be"),
            (["--ip", "198.51.100", "--user", "admin", "--yes"], "admin", USAGE, "--ip must be"),
            (["--web-port", 81, "--user", "admin", "--yes"], "admin", NOT_FOUND,
             mac(1) + " answered from 2 addresses: 198.51.100.100 198.51.100.40"),
        ]
        for args, password, status, says in cases:
            with self.subTest(args=args):
                self.assert_run(self.nwctl("set", mac(1), "--rounds", 1, *args, password=password), status, "", says)
        # Without a terminal to ask on, and no --yes, it ends before searching.
        self.assert_run(self.nwctl("set", mac(2), "--web-port", 81, "--user", "admin", "--rounds", 1, *UNPROBED_OK,
                                   password="admin"), NOT_CONFIRMED, "", "give --yes")
        self.assert_run(self.nwctl("set", "00:1A:2B:00:09:99", "--web-port", 81, "--user", "admin", "--yes",
                                   "--rounds", 1, password="admin"), NOT_FOUND, "", "did not answer the search")
        self.assert_run(self.nwctl("set", "00:1A:2B:00:00", "--web-port", 81), USAGE, "", "is not a MAC address")
        self.assertEqual(simulator.received(command=SET_CONFIG), [])
        self.assertEqual(len(simulator.received(command=SEARCH)), 2, "only the two runs that got that far searched")

    @unittest.skipIf(WINE, "the terminal is Linux's")
    def test_prompts_on_a_terminal(self):
        simulator = self.start_simulator(count=1)
        env = {k: v for k, v in os.environ.items() if k != "NW_PASSWORD"}
        # The device refuses operator/admin, so the one Save that goes out is
        # answered "login failed".
        for answer, status in [("n", NOT_CONFIRMED), ("y", 15)]:
            terminal = Terminal(self.command("set", mac(1), "--web-port", 81, "--user", "operator", "--rounds", 1),
                                env, self.workdir)
            terminal.wait_for("password for operator: ")
            terminal.type("admin\n")
            terminal.wait_for("send these settings? [y/N] ")
            terminal.type(answer + "\n")
            code, stdout = terminal.finish()
            self.assertNotIn(b"admin", terminal.shown, "the password does not show as it is typed")
            self.assertIn(b"searching: round 1 of 1, 1 device found", terminal.shown, "the live count on the terminal")
            self.assertEqual(code, status, terminal.shown)
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 1)
        self.assertEqual(stdout, mac(1) + ": Failed. login failed\n")

    @unittest.skipIf(WINE, "the terminal is Linux's")
    def test_a_signal_at_the_password_prompt_gives_the_echo_back(self):
        import signal
        env = {k: v for k, v in os.environ.items() if k != "NW_PASSWORD"}
        # As on an operator's terminal, Ctrl-C is not ignored (a test runner
        # in the background may ignore it).
        command = [sys.executable, "-c", "import os, signal, sys; signal.signal(signal.SIGINT, signal.SIG_DFL); "
                   "os.execv(sys.argv[1], sys.argv[1:])",
                   *self.command("set", mac(1), "--web-port", 81, "--user", "operator", "--rounds", 1)]
        for ending in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal=ending.name):
                terminal = Terminal(command, env, self.workdir)
                terminal.wait_for("password for operator: ")
                self.assertFalse(terminal.echoes(), "the echo is off at the prompt")
                terminal.process.send_signal(ending)
                terminal.process.wait(timeout=30)
                self.assertTrue(terminal.echoes(), "the echo is back after the signal")
                code, stdout = terminal.finish()
                self.assertEqual((code, stdout), (-ending, ""), "the exit status says the signal")

    def test_a_password_file_as_editors_save_it(self):
        simulator = self.start_simulator(devices=[{"mac": mac(1), "password": "secret"}])
        path = os.path.join(self.workdir, "pw.txt")
        # Windows editors put a byte-order mark before UTF-8 text: it is not
        # part of the password.
        with open(path, "wb") as f:
            f.write(b"\xef\xbb\xbfsecret\r\n")
        os.chmod(path, 0o600)
        args = ("set", mac(1), "--user", "admin", "--password-file", self.path("pw.txt"), "--yes", "--rounds", 1,
                *UNPROBED_OK)
        run = self.nwctl(*args, "--web-port", 81)
        self.assert_run(run, OK, mac(1) + ": Apply\n")
        self.assertNotIn("warning", run.stderr)
        request = simulator.received(command=SET_CONFIG)[0]
        self.assertEqual(request["hex"], expected_save(self.stored(simulator, mac(1)), "admin", "secret",
                                                       {"web_port": "81"}).hex())

        # A file that others can read is used, with a warning, as ssh warns
        # of keys; Windows has no mode bits to judge.
        os.chmod(path, 0o644)
        run = self.nwctl(*args, "--web-port", 82)
        self.assert_run(run, OK, mac(1) + ": Apply\n")
        if WINE:
            self.assertNotIn("warning", run.stderr)
        else:
            self.assertIn("nwctl: warning: others can use the password file %s (mode 0644): chmod 600 %s\n"
                          % (path, path), run.stderr)

    def test_a_password_that_cannot_be_used_is_named_and_nothing_is_sent(self):
        simulator = self.start_simulator(count=1)
        os.mkdir(os.path.join(self.workdir, "folder"))
        for name, encoding in [("utf16.txt", "utf-16"), ("utf16be.txt", "utf-16-be")]:
            with open(os.path.join(self.workdir, name), "wb") as f:
                f.write("admin\r\n".encode(encoding))
        cases = [
            (["--password-file", self.path("missing.txt")], "admin",
             "cannot read %s: No such file or directory" % self.path("missing.txt")),
            (["--password-file", self.path("folder")], None,
             "cannot read " if WINE else "cannot read %s: Is a directory" % self.path("folder")),
            (["--password-file", self.path("utf16.txt")], None, "is not UTF-8 or ASCII text"),
            (["--password-file", self.path("utf16be.txt")], None, "is not UTF-8 or ASCII text"),
        ]
        if not WINE:  # Windows keeps no empty variable
            cases.append(([], "", "NW_PASSWORD is set but empty: put the password in it, give --password-file FILE, "
                                  "or unset NW_PASSWORD"))
        for args, password, says in cases:
            with self.subTest(args=args, password=password):
                run = self.nwctl("set", mac(1), "--web-port", 81, "--user", "admin", "--yes", "--rounds", 1, *args,
                                 password=password)
                self.assert_run(run, USAGE, "", says)
                self.assertIn("Nothing was sent", run.stderr)
        self.assertEqual(simulator.received(command=SEARCH), [], "each stopped before the search")


@unittest.skipIf(WINE, "reboot and reset are the same code under Wine as natively")
class RestartCommands(NwctlTest):
    def test_reboot_goes_to_each_named_device_as_the_window_sends_it(self):
        simulator = self.start_simulator(count=3, options=["--reboot-time", "1"])
        run = self.nwctl("reboot", mac(3), mac(1), "--user", "admin", "--yes", "--rounds", 1, password="admin")
        self.assert_run(run, OK, "reboot sent to %s at 198.51.100.102 (SimCam-0003)\n"
                                 "reboot sent to %s at 198.51.100.100 (SimCam-0001)\n" % (mac(3), mac(1)))
        requests = simulator.wait_received(2, command=REBOOT)
        self.assertEqual([r["hex"] for r in requests],
                         [stamped(self.stored(simulator, m), REBOOT, "admin", "admin").hex() for m in (mac(3), mac(1))])
        self.assertGreaterEqual(requests[1]["mono"] - requests[0]["mono"], 0.009, "10 ms apart")
        simulator.wait_event("reboot", 2)
        self.assertEqual(sorted(e["mac"] for e in simulator.events("reboot")), [mac(1), mac(3)])

    def test_reset_carries_the_devices_current_settings_and_restores_its_first(self):
        simulator = self.start_simulator(count=1, options=["--reboot-time", "1"])
        self.assert_run(self.nwctl("set", mac(1), "--ip", "198.51.100.60", "--user", "admin", "--yes", "--rounds", 1,
                                   password="admin"), OK)
        run = self.nwctl("reset", mac(1), "--user", "admin", "--yes", "--rounds", 1, password="admin")
        self.assert_run(run, OK, "factory reset sent to %s at 198.51.100.60 (SimCam-0001)\n" % mac(1))
        reset = simulator.wait_received(command=FACTORY_RESET)[0]
        current = datagram(simulator.sent(command=SEARCH_REPLY, ipAddress="198.51.100.60")[0])
        self.assertEqual(reset["hex"], stamped(current, FACTORY_RESET, "admin", "admin").hex())
        simulator.wait_event("back")
        self.assertEqual([d["ip"] for d in self.search_json()], ["198.51.100.100"])

    def test_nothing_is_sent_unless_every_device_is_found_and_it_is_confirmed(self):
        simulator = self.start_simulator(count=2)
        run = self.nwctl("reboot", mac(1), mac(7), "--user", "admin", "--yes", "--rounds", 1, password="admin")
        self.assert_run(run, NOT_FOUND, "", mac(7) + " did not answer the search")
        run = self.nwctl("reset", mac(1), "--user", "admin", "--rounds", 1, password="admin")
        self.assert_run(run, NOT_CONFIRMED, "", "give --yes")
        run = self.nwctl("reboot", mac(1), mac(1), "--user", "admin", "--yes")
        self.assert_run(run, USAGE, "", "named twice")
        self.assertEqual(simulator.received(command=REBOOT) + simulator.received(command=FACTORY_RESET), [])

    def test_the_confirmation_lists_the_devices_as_the_window_does(self):
        hostile = {"mac": mac(2), "ip": b"198.51.100.9\x1b[2J"}
        simulator = self.start_simulator(count=1, devices=[hostile])
        env = dict(os.environ, NW_PASSWORD="admin")
        terminal = Terminal(self.command("reset", mac(1), mac(2), "--user", "admin", "--rounds", 1), env,
                            self.workdir)
        terminal.wait_for('Check the IP and MAC on "Factory Reset"\r\n\r\n'
                          "IP : 198.51.100.100 / MAC : %s\r\n"
                          "IP : 198.51.100.9\\x1B[2J / MAC : %s\r\nsend? [y/N] " % (mac(1), mac(2)))
        terminal.type("no\n")
        code, _ = terminal.finish()
        self.assertEqual(code, NOT_CONFIRMED)
        self.assertEqual(simulator.received(command=FACTORY_RESET), [])

def csv_text(header, rows):
    return "".join(",".join(map(str, row)) + "\n" for row in [header] + rows)


@unittest.skipIf(WINE, "plan and check are the same code under Wine as natively")
class PlanAndCheck(NwctlTest):
    def plan(self, *args, password="admin"):
        return self.nwctl("plan", *args, "--rounds", 1, password=password)

    def test_fifty_devices_assigned_checked_applied_verified_and_inventoried(self):
        # Fifty cameras, and two door phones already on addresses of the
        # range to give.
        phones = [{"mac": mac(0x100 + i), "ip": "10.20.0.%d" % last, "product": "DoorPhone"}
                  for i, last in enumerate((12, 15))]
        simulator = self.start_simulator(count=50, devices=phones)

        # The assign rule: consecutive, in MAC order, around the phones.
        run = self.nwctl("plan", "--assign", "10.20.0.10", "--mask", "255.255.255.0", "--gateway", "10.20.0.1",
                         "--product", "simcam", "--rounds", 1)
        self.assert_run(run, OK)
        rows = run.csv_rows()
        self.assertEqual([r["mac"] for r in rows], [mac(n) for n in range(1, 51)])
        addresses = [int(r["ip"].rsplit(".", 1)[1]) for r in rows]
        self.assertEqual(addresses, [10, 11, 13, 14] + list(range(16, 62)))
        self.assertEqual({(r["mask"], r["gateway"], r["dns"]) for r in rows}, {("255.255.255.0", "10.20.0.1", "")})
        plan = self.write("site.csv", run.stdout)

        # The dry run: every change, no problem, nothing sent.
        run = self.plan(plan)
        self.assert_run(run, OK, stderr_has="50 planned, 50 found, 50 to change, 0 problems")
        self.assertEqual(run.stdout.splitlines()[0], "line 2: %s at 198.51.100.100 (SimCam-0001): ip 198.51.100.100 "
                         "-> 10.20.0.10, gateway 198.51.100.254 -> 10.20.0.1" % mac(1))
        self.assertEqual(len(run.stdout.splitlines()), 50)
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

        # A plan with problems is refused, with or without --apply.
        broken_rows = [[r["mac"], r["ip"], r["mask"], r["gateway"], r["dns"]] for r in rows]
        broken_rows[0][3] = "10.21.0.1"
        broken_rows[1][1] = "10.20.0.10"
        broken_rows.append(["00:1A:2B:00:09:99", "10.20.0.99", "", "", ""])
        broken = self.write("broken.csv", csv_text(["mac", "ip", "mask", "gateway", "dns"], broken_rows))
        for extra in ([], ["--apply", "--yes", "--user", "admin"]):
            run = self.plan(broken, *extra)
            self.assert_run(run, PLAN_REFUSED)
            problems = [line for line in run.stdout.splitlines() if line.startswith("problem:")]
            self.assertEqual(problems, [
                "problem: line 2: %s: gateway 10.21.0.1 is outside the subnet 10.20.0.0/24 of ip 10.20.0.10" % mac(1),
                "problem: line 3: %s: ip 10.20.0.10 is planned for %s on line 2 too" % (mac(2), mac(1)),
                "problem: line 52: 00:1A:2B:00:09:99: not found by the search; if it is restarting (after a "
                "reboot, a reset or new settings), search again once it is up",
            ], run)
        self.assertIn("refused while problems stand. Nothing was sent", run.stderr)
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

        # Applied: one device at a time, each Save the window's record.
        stored = {mac(n): self.stored(simulator, mac(n)) for n in range(1, 51)}
        run = self.plan(plan, "--apply", "--yes", "--user", "admin")
        self.assert_run(run, OK, stderr_has="50 of 50 devices applied and verified")
        self.assertEqual(run.stdout.count(": Apply\n"), 50)
        self.assertEqual(run.stdout.count(": verified\n"), 50)
        requests = simulator.received(command=SET_CONFIG)
        answers = simulator.sent(command=SET_CONFIG)
        self.assertEqual(len(requests), 50)
        for row, request in zip(rows, requests):
            changes = {"ip": row["ip"], "mask": row["mask"], "gateway": row["gateway"]}
            self.assertEqual(request["hex"], expected_save(stored[row["mac"]], "admin", "admin", changes).hex())
        for answer, next_request in zip(answers, requests[1:]):
            self.assertLess(answer["mono"], next_request["mono"], "the next Save waits for the answer")

        # The audit log beside the plan: each Save and its answer in turn,
        # then each verification; no secret.
        logs = [f for f in os.listdir(self.workdir) if f.startswith("site-") and f.endswith(".audit.jsonl")]
        self.assertEqual(len(logs), 1, os.listdir(self.workdir))
        with open(os.path.join(self.workdir, logs[0])) as log:
            text = log.read()
        entries = [json.loads(line) for line in text.splitlines()]
        self.assertEqual([e["event"] for e in entries], ["sent", "answer"] * 50 + ["verify"] * 50)
        for event in ("sent", "answer", "verify"):
            self.assertEqual([e["mac"] for e in entries if e["event"] == event], [r["mac"] for r in rows])
        self.assertEqual({(e["result"], e["result_code"]) for e in entries if e["event"] == "answer"}, {("Apply", 0)})
        self.assertEqual({e["verified"] for e in entries if e["event"] == "verify"}, {True})
        self.assertEqual(entries[0]["before"]["ip"], "198.51.100.100")
        self.assertEqual(entries[0]["sent"], {"ip": "10.20.0.10", "mask": "255.255.255.0", "gateway": "10.20.0.1",
                                              "dns": "198.51.100.253", "mode": "static", "web_port": 80,
                                              "control_port": 30001, "video_port": 30002,
                                              "audio_transmit_port": 30004, "audio_receive_port": 30003})
        self.assertNotIn("admin", text)
        self.assertNotIn(password_digest("admin")[:16].hex(), text)

        # The inventory: the plan and the phones, all where they should be.
        inventory = self.write("inventory.csv", csv_text(["mac", "ip", "note"],
                                                         [[r["mac"], r["ip"], "camera"] for r in rows]
                                                         + [[p["mac"], p["ip"], "phone"] for p in phones]))
        run = self.nwctl("check", inventory, "--rounds", 1)
        self.assert_run(run, OK, "kind  mac  ip  detail\n", "52 expected, 52 answered, 0 reported")

        # And what it reports when they are not.
        changed = self.write("changed.csv", csv_text(
            ["mac", "ip"], [[rows[0]["mac"], "10.20.0.200"]] + [[r["mac"], r["ip"]] for r in rows[1:]]
            + [["00:1A:2B:00:09:99", ""]]))
        run = self.nwctl("check", changed, "--rounds", 1, "--format", "json", "--min-firmware-date", "20240116")
        self.assert_run(run, REPORTED)
        findings = json.loads(run.stdout)
        kinds = {}
        for finding in findings:
            kinds.setdefault(finding["kind"], []).append(finding)
        self.assertEqual(kinds["missing"], [{"kind": "missing", "mac": "00:1A:2B:00:09:99", "ip": "",
                                             "detail": "not found by the search"}])
        self.assertEqual(kinds["wrong-address"], [{"kind": "wrong-address", "mac": mac(1), "ip": "10.20.0.10",
                                                   "detail": "expected at 10.20.0.200"}])
        self.assertEqual(sorted(f["mac"] for f in kinds["unexpected"]), [p["mac"] for p in phones])
        self.assertEqual(len(kinds["old-firmware"]), 52, "1.4.2_20240115 dates before 20240116")
        self.assertNotIn("conflict", kinds)

    def test_failures_and_unverified_devices_in_the_outcome_and_the_log(self):
        simulator = self.start_simulator(devices=[
            {"mac": mac(1), "applyResult": 1},        # says Failed, changes nothing
            {"mac": mac(2), "applyCount": 0},          # takes the settings, never answers
            {"mac": mac(3), "applyResult": 0},         # says Apply, changes nothing
            {"mac": mac(4)},                           # does it all
            {"mac": mac(5)},                           # nothing to change
        ])
        plan = self.write("p.csv", csv_text(["mac", "web_port", "mode"], [
            [mac(1), 81, ""], [mac(2), 82, ""], [mac(3), 83, ""], [mac(4), 84, "static"], [mac(5), 80, "static"]]))
        run = self.plan(plan, "--apply", "--yes", "--user", "admin", "--timeout", 0.5)
        self.assert_run(run, PLAN_FAILED, stderr_has="2 of 5 devices applied and verified")
        self.assertEqual([line for line in run.stdout.splitlines() if not line.startswith("line ")], [
            mac(1) + ": Failed", mac(2) + ": no answer", mac(3) + ": Apply", mac(4) + ": Apply",
            mac(1) + ": NOT verified: it shows web_port 80 -> 81", mac(2) + ": verified",
            mac(3) + ": NOT verified: it shows web_port 80 -> 83", mac(4) + ": verified", mac(5) + ": verified"])
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 4, "nothing goes to the unchanged device")
        log = next(f for f in os.listdir(self.workdir) if f.endswith(".audit.jsonl"))
        with open(os.path.join(self.workdir, log)) as f:
            entries = [json.loads(line) for line in f]
        self.assertEqual([(e["event"], e["mac"], e.get("result", e.get("verified"))) for e in entries], [
            ("sent", mac(1), None), ("answer", mac(1), "Failed"), ("sent", mac(2), None), ("answer", mac(2), "no answer"),
            ("sent", mac(3), None), ("answer", mac(3), "Apply"), ("sent", mac(4), None), ("answer", mac(4), "Apply"),
            ("unchanged", mac(5), None), ("verify", mac(1), False), ("verify", mac(2), True), ("verify", mac(3), False),
            ("verify", mac(4), True), ("verify", mac(5), True)])
        self.assertNotIn("sent", entries[8])

    def test_bad_plan_files_and_refusals_send_nothing(self):
        simulator = self.start_simulator(count=2)
        cases = [
            ("mac,ip\n%s,\n" % mac(1), ["--apply", "--user", "admin"], NOT_CONFIRMED, "give --yes"),
            ("mac,ip\n\n", ["--apply", "--yes", "--user", "admin"], NO_DEVICES,
             "bad.csv names no device: it has a header line and nothing more. Nothing to do"),
            ("ip,mask\n10.0.0.1,255.0.0.0\n", [], USAGE, "bad.csv: line 1: the header has no mac column"),
            ("mac,ip\n%s,10.0.0.1,extra\n" % mac(1), [], USAGE, "bad.csv: line 2: 3 fields, but the header has 2"),
            ("mac,web_port\n%s,80\n%s,http\n" % (mac(1), mac(2)), ["--apply", "--yes", "--user", "admin"], USAGE,
             "bad.csv: line 3: web_port must be a whole number from 0 to 65535, not \"http\""),
            ("mac\n\"%s\n" % mac(1), [], USAGE, "bad.csv: line 2: a quoted field is never closed"),
        ]
        for text, args, status, says in cases:
            with self.subTest(text=text):
                self.assert_run(self.plan(self.write("bad.csv", text), *args), status, "", says)
        self.assert_run(self.plan(self.path("missing.csv")), USAGE, "", "cannot read")
        self.assert_run(self.nwctl("check", self.write("bad.csv", "mac\nnope\n")), USAGE, "",
                        "line 2: mac \"nope\" is not a MAC address")
        self.assertEqual(simulator.received(command=SEARCH), [], "none of them searched")
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

@unittest.skipIf(WINE, "the rules are the same code under Wine as natively")
class AddressRules(NwctlTest):
    """set and plan --assign hold to the dry run's rules: nothing a device
    would refuse, nothing that collides with another host, is sent or
    written."""

    def test_set_refuses_what_the_plan_refuses_and_sends_nothing(self):
        simulator = self.start_simulator(count=2)
        cases = [
            (["--ip", OPERATOR_IP], "ip 198.51.100.1 is this computer's own address (adapter lan0)"),
            (["--ip", SECOND_IP], "ip 198.51.100.11 is this computer's own address (adapter lan1)"),
            (["--mask", "255.0.255.0"], "mask 255.0.255.0 is not a subnet mask of 1 to 30 bits"),
            (["--gateway", "10.0.0.1"],
             "gateway 10.0.0.1 is outside the subnet 198.51.100.0/24 of ip 198.51.100.100 (the device's own)"),
            (["--ip", "198.51.100.101"], "ip 198.51.100.101 is already used by %s" % mac(2)),
            (["--ip", "224.0.0.1"], "ip 224.0.0.1 cannot be a device's address"),
            (["--ip", "198.51.100.255"], "ip 198.51.100.255 is the broadcast address of its subnet /24"),
            (["--web-port", "0"], "web_port 0 is refused by the device: a port is 1 to 65535"),
            (["--web-port", "30001"], "control_port 30001 (the device's own) is web_port's too"),
        ]
        for args, says in cases:
            with self.subTest(args=args):
                run = self.nwctl("set", mac(1), *args, "--user", "admin", "--yes", "--rounds", 1, password="admin")
                self.assert_run(run, PLAN_REFUSED, "", "nwctl: problem: %s: %s" % (mac(1), says))
                self.assertIn("Nothing was sent", run.stderr)
        # Nothing to change: nothing goes out, and it says so.
        run = self.nwctl("set", mac(1), "--web-port", 80, "--static", "--user", "admin", "--yes", "--rounds", 1,
                         password="admin")
        self.assert_run(run, OK, "", "no change: it has these settings already. Nothing was sent")
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

    def assign(self, *args):
        return self.nwctl("plan", "--assign", *args, "--rounds", 1)

    def test_assign_writes_only_plans_its_own_dry_run_accepts(self):
        self.start_simulator(count=3, devices=[
            {"mac": mac(0x10), "ip": "198.51.100.150", "product": "DhcpCam", "dhcp": 1},
            {"mac": mac(0x20), "ip": "198.51.100.160", "product": "TwinCam"},
            {"mac": mac(0x20), "ip": "198.51.100.161", "product": "TwinCam"},
        ])
        # From the network address up: this computer's addresses are
        # skipped, and the plan passes its dry run. The device side of the
        # test LAN holds DEVICE_IP: where the probe can tell, that is passed
        # over as in use, and nothing else is.
        run = self.assign("198.51.100.0", "--mask", "255.255.255.0", "--product", "simcam")
        self.assert_run(run, OK)
        skipped = [line.split()[2].rstrip(":") for line in run.stderr.splitlines()
                   if line.startswith("nwctl: skipped ")]
        self.assertIn(skipped, ([], [DEVICE_IP]), run)
        given = [a for a in ("198.51.100.%d" % n for n in range(2, 6)) if a not in skipped][:3]
        self.assertEqual([(r["mac"], r["ip"], r["mode"]) for r in run.csv_rows()],
                         [(mac(1), given[0], ""), (mac(2), given[1], ""), (mac(3), given[2], "")])
        run = self.nwctl("plan", self.write("site.csv", run.stdout), "--rounds", 1)
        self.assert_run(run, OK, stderr_has="3 planned, 3 found, 3 to change, 0 problems")

        # A device on DHCP is made static, and the operator told.
        run = self.assign("198.51.100.30", "--product", "dhcpcam")
        self.assert_run(run, OK, stderr_has="note: %s is in dhcp mode now: the plan makes it static" % mac(0x10))
        self.assertEqual([(r["ip"], r["mode"]) for r in run.csv_rows()], [("198.51.100.30", "static")])

        cases = [
            (["198.51.100.10", "--mask", "255.0.255.0"], USAGE, "--mask 255.0.255.0 is not a subnet mask of 1 to 30"),
            (["198.51.100.10", "--mask", "255.255.255.0", "--gateway", "10.0.0.1"], USAGE,
             "--gateway 10.0.0.1 is outside the subnet 198.51.100.0/24 of 198.51.100.10"),
            # .253 and .254 are the devices' DNS and gateway, .255 the broadcast.
            (["198.51.100.252", "--product", "simcam"], PLAN_REFUSED,
             "only 1 of the 3 devices find a free address from 198.51.100.252 in its subnet /24"),
            (["0.0.0.0"], USAGE, "--assign 0.0.0.0 cannot be a device's address"),
            (["127.0.0.1"], USAGE, "--assign 127.0.0.1 cannot be a device's address"),
            (["224.0.0.1"], USAGE, "--assign 224.0.0.1 cannot be a device's address"),
            (["198.51.100.30", "--product", "twincam"], PLAN_REFUSED,
             "problem: line 2: %s: answered from 2 addresses" % mac(0x20)),
            (["198.51.100.30", "--product", "doorbell"], NO_DEVICES,
             "none of the 6 devices that answered has a product name holding \"doorbell\""),
        ]
        for args, status, says in cases:
            with self.subTest(args=args):
                self.assert_run(self.assign(*args), status, "", says)


BYSTANDER = "02:00:5e:10:00:07"  # a host on the LAN that does not answer the search


def narrow_operator_subnet(test, address):
    """The operator side's lan0 holds `address` (such as 198.51.100.1/25)
    until the test ends: hosts in the rest of 198.51.100.0/24 are then on
    another subnet, where this computer's kernel never asks."""
    saved = harness.lan_addresses()
    test.addCleanup(harness.restore_lan, saved)
    for name, held in saved:
        if name == "lan0":
            harness.ip("addr", "del", held[0], "dev", "lan0")
    test.addCleanup(subprocess.run, ["ip", "addr", "del", address, "dev", "lan0"], stderr=subprocess.DEVNULL)
    harness.ip("addr", "add", address, "dev", "lan0")


@unittest.skipIf(WINE, "the probe's rules are the same code under Wine as natively")
class AddressesInUse(NwctlTest):
    """Hosts that answer ARP but not the search: no plan gives their
    addresses away, and check finds two MACs on one address. nwctl prints
    MACs in upper case, LanHost keeps them in lower."""

    def test_a_plan_onto_a_hosts_address_is_named_and_refused(self):
        simulator = self.start_simulator(count=2)
        # Device 1 answers for its own address: that is no problem.
        with lan_hosts.LanHost(BYSTANDER, ["198.51.100.31"]) as host, \
                lan_hosts.LanHost(mac(1), [patterned(1)["ip"]]):
            plan = self.write("site.csv", csv_text(["mac", "ip", "web_port"],
                                                   [[mac(1), "", 81], [mac(2), "198.51.100.31", ""]]))
            problem = "problem: line 3: 198.51.100.31 is planned for %s but is in use by %s" % (mac(2), host.mac.upper())
            run = self.nwctl("plan", plan, "--rounds", 1)
            self.assert_run(run, PLAN_REFUSED, stderr_has="2 planned, 2 found, 2 to change, 1 problem\n")
            self.assertEqual([line for line in run.stdout.splitlines() if line.startswith("problem:")], [problem])

            run = self.nwctl("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1, password="admin")
            self.assert_run(run, PLAN_REFUSED, stderr_has="refused while problems stand. Nothing was sent")
            self.assertIn(problem + "\n", run.stdout)

            # set is a plan of one row.
            run = self.nwctl("set", mac(2), "--ip", "198.51.100.31", "--user", "admin", "--yes", "--rounds", 1,
                             password="admin")
            self.assert_run(run, PLAN_REFUSED, "", "nwctl: problem: 198.51.100.31 is planned for %s but is in use by %s"
                            % (mac(2), host.mac.upper()))

            # The address next to it is free.
            run = self.nwctl("plan", self.write("free.csv", csv_text(["mac", "ip"], [[mac(2), "198.51.100.32"]])),
                             "--rounds", 1)
            self.assert_run(run, OK, stderr_has="1 planned, 1 found, 1 to change, 0 problems")
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

    def test_a_host_on_another_subnet_is_heard_too(self):
        # Device 2 goes to the upper half of the /24, another subnet than
        # this computer's /25: only the probe that carries no address of
        # its own hears the host there.
        narrow_operator_subnet(self, "198.51.100.1/25")
        simulator = self.start_simulator(count=2)
        with lan_hosts.LanHost(BYSTANDER, ["198.51.100.200"]) as host:
            plan = self.write("site.csv", csv_text(["mac", "ip", "mask", "gateway"],
                                                   [[mac(2), "198.51.100.200", "255.255.255.128", "198.51.100.254"]]))
            run = self.nwctl("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1, password="admin")
            self.assert_run(run, PLAN_REFUSED, stderr_has="refused while problems stand. Nothing was sent")
            self.assertIn("problem: line 2: 198.51.100.200 is planned for %s but is in use by %s\n"
                          % (mac(2), host.mac.upper()), run.stdout)
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

    def test_assign_steps_over_hosts_and_says_so(self):
        self.start_simulator(count=3)
        with lan_hosts.LanHost(BYSTANDER, ["198.51.100.31", "198.51.100.33"]) as host:
            run = self.nwctl("plan", "--assign", "198.51.100.30", "--product", "simcam", "--rounds", 1)
            self.assert_run(run, OK)
            self.assertEqual([r["ip"] for r in run.csv_rows()], ["198.51.100.30", "198.51.100.32", "198.51.100.34"])
            self.assertEqual([line for line in run.stderr.splitlines() if line.startswith("nwctl: skipped ")],
                             ["nwctl: skipped 198.51.100.%d: in use by %s" % (n, host.mac.upper()) for n in (31, 33)])
            # What it wrote passes its dry run.
            run = self.nwctl("plan", self.write("site.csv", run.stdout), "--rounds", 1)
            self.assert_run(run, OK, stderr_has="3 planned, 3 found, 3 to change, 0 problems")

    def test_check_reports_two_macs_on_one_address(self):
        self.start_simulator(count=2)
        address = patterned(1)["ip"]
        inventory = self.write("inventory.csv", csv_text(["mac", "ip"],
                                                         [[mac(1), address], [mac(2), patterned(2)["ip"]]]))
        with lan_hosts.LanHost(mac(1), [address]), lan_hosts.LanHost(BYSTANDER, [address]) as host:
            run = self.nwctl("check", inventory, "--rounds", 1, "--format", "json")
            self.assert_run(run, REPORTED, stderr_has="2 expected, 2 answered, 1 reported")
            self.assertEqual(json.loads(run.stdout), [{
                "kind": "ip-conflict", "mac": "%s %s" % (mac(1), host.mac.upper()), "ip": address,
                "detail": "2 MACs answer for it: %s and %s" % (mac(1), host.mac.upper())}])
        # With the device alone on its address, nothing to report.
        with lan_hosts.LanHost(mac(1), [address]):
            self.assert_run(self.nwctl("check", inventory, "--rounds", 1), OK,
                            stderr_has="2 expected, 2 answered, 0 reported")

    def test_a_host_that_takes_the_address_meanwhile_fails_the_verification(self):
        # The device answers its Save after a while: the host takes the
        # planned address before then, after the dry run's probe.
        simulator = self.start_simulator(devices=[{"mac": mac(1), "applyDelay": 3.0}, {"mac": mac(2)}])
        plan = self.write("site.csv", csv_text(["mac", "ip"], [[mac(1), "198.51.100.40"], [mac(2), "198.51.100.41"]]))
        with lan_hosts.LanHost(BYSTANDER) as host:
            started = self.start("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1, "--timeout", 30,
                                 password="admin")
            simulator.wait_received(command=SET_CONFIG, timeout=60)
            host.add("198.51.100.40")
            run = self.finish(started)
        self.assert_run(run, PLAN_FAILED, stderr_has="1 of 2 devices applied and verified")
        self.assertEqual([line for line in run.stdout.splitlines() if "verified" in line], [
            "%s: NOT verified: 198.51.100.40 is in use by %s too" % (mac(1), host.mac.upper()),
            "%s: verified" % mac(2)])
        log = next(f for f in os.listdir(self.workdir) if f.endswith(".audit.jsonl"))
        with open(os.path.join(self.workdir, log)) as f:
            verifies = [e for e in map(json.loads, f) if e["event"] == "verify"]
        self.assertEqual([(e["mac"], e["verified"], e["in_use_by"]) for e in verifies],
                         [(mac(1), False, [host.mac.upper()]), (mac(2), True, [])])


@unittest.skipIf(WINE, "the outcomes are the same code under Wine as natively")
class EmptyResults(NwctlTest):
    def test_a_search_that_finds_nothing_says_so_with_its_own_status(self):
        run = self.nwctl("search", "--rounds", 1, "--format", "json")
        self.assert_run(run, NO_DEVICES, "[]\n", "no device answered the search from lan0 (198.51.100.1)")
        self.assertIn("a firewall blocks the replies to UDP port 40014", run.stderr)
        run = self.nwctl("plan", "--assign", "198.51.100.30", "--rounds", 1)
        self.assert_run(run, NO_DEVICES, "", "no device answered the search")


@unittest.skipIf(WINE, "signals are Linux's")
class InterruptedApply(NwctlTest):
    """A run cut short keeps in its audit log every Save that left and every
    answer that came back, and says it was interrupted."""

    def cut_short(self, number):
        import glob
        simulator = self.start_simulator(devices=[{"mac": mac(1)}, {"mac": mac(2), "applyCount": 0}, {"mac": mac(3)}])
        plan = self.write("cut.csv", csv_text(["mac", "web_port"], [[mac(n), 81] for n in (1, 2, 3)]))
        process, _ = started = self.start("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1,
                                          "--timeout", 5, password="admin")
        # The second device never answers: wait until its Save is in the
        # log, then cut the run short. Its answer is waited for to the end
        # of its time.
        deadline = time.monotonic() + 60
        lines = []
        while len(lines) < 3:
            self.assertLess(time.monotonic(), deadline, lines)
            logs = glob.glob(os.path.join(self.workdir, "cut-*.audit.jsonl"))
            if logs:
                with open(logs[0]) as f:
                    lines = f.read().splitlines()
            time.sleep(0.05)
        process.send_signal(number)
        run = self.finish(started)
        self.assertEqual(run.status, 130, run)
        with open(logs[0]) as f:
            entries = [json.loads(line) for line in f]
        self.assertEqual([(e["event"], e.get("mac")) for e in entries],
                         [("sent", mac(1)), ("answer", mac(1)), ("sent", mac(2)), ("answer", mac(2)),
                          ("interrupted", None)])
        self.assertEqual(entries[1]["result"], "Apply")
        self.assertEqual(entries[2]["sent"]["web_port"], 81)
        self.assertEqual(entries[3]["result"], "no answer")
        self.assertEqual(entries[4]["not_sent"], [mac(3)])
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 2)

    def test_interrupted(self):
        self.cut_short(signal.SIGINT)

    def test_terminated(self):
        self.cut_short(signal.SIGTERM)


if __name__ == "__main__":
    harness.main()
