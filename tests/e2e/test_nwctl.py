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
import subprocess
import sys
import time
import unittest

import harness
from simulator import (FACTORY_RESET, REBOOT, RECORD_SIZE, REPLY_PORT, SEARCH, SEARCH_REPLY, SET_CONFIG, parse_record,
                       password_digest, send_datagram)
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

# Exit statuses, as nwctl --help lists them.
OK, NETWORK, USAGE, NOT_FOUND, NO_ANSWER, NOT_CONFIRMED, PLAN_REFUSED, PLAN_FAILED, REPORTED = range(9)


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
            process = subprocess.Popen(self.command(*args), stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                       env=env, cwd=self.workdir)
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

        # The table: a header of the same names, one line per device.
        run = self.nwctl("search", "--rounds", 1)
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
        search = self.start("search", "--rounds", 1, "--format", "json")
        simulator.wait_received(command=SEARCH, timeout=60)  # Wine may take its time to start
        for extra in [dict(size=372, macAddress=mac(20), ipAddress="198.51.100.20"),
                      dict(command=SET_CONFIG, macAddress=mac(21), ipAddress="198.51.100.21"),
                      dict(size=RECORD_SIZE - 3, macAddress=mac(22), ipAddress="198.51.100.22")]:
            simulator.send(OPERATOR_IP, REPLY_PORT, **extra)
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


class Terminal:
    """nwctl with a terminal on standard input and error (native only): what
    it shows there can be read, and answers typed."""

    def __init__(self, command, env, cwd):
        self.master, slave = pty.openpty()
        self.process = subprocess.Popen(command, stdin=slave, stdout=subprocess.PIPE, stderr=slave, env=env, cwd=cwd)
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
        return self.process.returncode, stdout.decode("latin-1")


class SetCommand(NwctlTest):
    def set(self, target, *args, password="admin", user="admin"):
        return self.nwctl("set", target, "--user", user, "--yes", "--rounds", 1, *args, password=password)

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

        # Settings not named keep the device's; the odd mode goes out as -1
        # (and the device refuses it), as from the window.
        run = self.set(mac(3), "--video-port", 7000)
        self.assert_run(run, 14, mac(3) + ": Failed. Invalid config\n")
        request = simulator.received(command=SET_CONFIG, macAddress=mac(3))[0]
        self.assertEqual(request["hex"], expected_save(self.stored(simulator, mac(3)), "admin", "admin",
                                                       {"video_port": "7000"}).hex())
        self.assertEqual(request["record"]["dhcp"], 0xFFFFFFFF)
        self.assertEqual(request["record"]["result"], 9)

        # The device took the settings: the next search shows them.
        shown = {d["mac"]: d for d in self.search_json()}[mac(1)]
        self.assertEqual({k: str(shown[k]) for k in changes}, changes)

    def test_the_password_from_a_file_or_the_variable(self):
        long_password = "p" * 31 + "-beyond-the-31-bytes"
        simulator = self.start_simulator(devices=[{"mac": mac(1), "password": "p" * 31, "userId": "site admin"}])
        password_file = self.write("pw.txt", long_password + "\r\nsecond line\n")
        run = self.nwctl("set", mac(1), "--web-port", 81, "--user", "site admin", "--password-file", password_file,
                         "--yes", "--rounds", 1, password="ignored")
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
            {"mac": mac(3)},  # two equal ports: invalid port
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
            (mac(3), ["--web-port", 30001], 13, mac(3) + ": Failed. Invalid port\n"),
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
        self.assert_run(self.nwctl("set", mac(2), "--web-port", 81, "--user", "admin", "--rounds", 1,
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
            self.assertIn(b"searching: 1 devices found", terminal.shown, "the live count on the terminal")
            self.assertEqual(code, status, terminal.shown)
        self.assertEqual(len(simulator.received(command=SET_CONFIG)), 1)
        self.assertEqual(stdout, mac(1) + ": Failed. login failed\n")


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
                "problem: line 52: 00:1A:2B:00:09:99: not found by the search",
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

        # The audit log beside the plan: one line per device, no secret.
        logs = [f for f in os.listdir(self.workdir) if f.startswith("site-") and f.endswith(".audit.jsonl")]
        self.assertEqual(len(logs), 1, os.listdir(self.workdir))
        with open(os.path.join(self.workdir, logs[0])) as log:
            text = log.read()
        entries = [json.loads(line) for line in text.splitlines()]
        self.assertEqual([e["mac"] for e in entries], [r["mac"] for r in rows])
        self.assertEqual({(e["result"], e["result_code"], e["verified"]) for e in entries}, {("Apply", 0, True)})
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
        self.assertEqual([(e["result"], e["verified"]) for e in entries], [
            ("Failed", False), ("no answer", True), ("Apply", False), ("Apply", True), ("unchanged", True)])
        self.assertIsNone(entries[4]["sent"])

    def test_bad_plan_files_and_refusals_send_nothing(self):
        simulator = self.start_simulator(count=2)
        cases = [
            ("mac,ip\n", ["--apply", "--user", "admin"], NOT_CONFIRMED, "give --yes"),
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

if __name__ == "__main__":
    unittest.main(verbosity=2)
