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
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from simulator import (FACTORY_RESET, FIELDS, REBOOT, RECORD_SIZE, REPLY_PORT, SEARCH, SEARCH_REPLY, SET_CONFIG,
                       Simulator, parse_record, password_digest, send_datagram)

WINE = "--wine" in sys.argv
if WINE:
    sys.argv.remove("--wine")

SOURCE_DIR = os.environ.get(
    "NW_SOURCE_DIR", os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
BUILD_DIR = os.environ.get("NW_BUILD_DIR") or os.path.join(SOURCE_DIR, "build", "win32" if WINE else "native")
NWCTL = os.path.join(BUILD_DIR, "bin", "nwctl.exe" if WINE else "nwctl")

OPERATOR_IP = os.environ.get("TESTLAN_OPERATOR_IP", "198.51.100.1")
SECOND_IP = "198.51.100.11"  # the operator side of the second adapter
DEVICE_IP = os.environ.get("TESTLAN_DEVICE_IP", "198.51.100.2")

FIELD_NAMES = ["mac", "ip", "mask", "gateway", "dns", "mode", "web_port", "control_port", "video_port",
               "audio_transmit_port", "audio_receive_port", "https", "product", "maker", "firmware", "name", "adapter"]
RECORD_FIELD = {name: (offset, width) for name, offset, width, _ in FIELDS}
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

def put_text(record, name, text):
    offset, _ = RECORD_FIELD[name]
    raw = text.encode("latin-1")[:31]
    record[offset:offset + len(raw)] = raw
    record[offset + len(raw)] = 0


def put_number(record, name, value):
    offset, width = RECORD_FIELD[name]
    record[offset:offset + width] = (value & ((1 << 8 * width) - 1)).to_bytes(width, "little")


def stamped(stored, command, user, password):
    record = bytearray(stored)
    put_number(record, "command", command)
    put_text(record, "userId", user)
    record[40:72] = password_digest(password)
    return bytes(record)


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


class NwctlTest(unittest.TestCase):
    """A fresh working folder, and simulators that end with the test."""

    def setUp(self):
        if "TESTLAN_DEVICE_NS" not in os.environ:
            self.skipTest("runs only inside tools/testlan/testlan")
        self.workdir = tempfile.mkdtemp(prefix="nwctl-", dir=os.environ.get("TESTLAN_DIR"))
        self.addCleanup(shutil.rmtree, self.workdir, True)

    def start_simulator(self, **kwargs):
        kwargs.setdefault("log_path", os.path.join(self.workdir, "nwsim-%d.jsonl" % time.monotonic_ns()))
        simulator = Simulator(**kwargs)
        simulator.start()
        self.addCleanup(simulator.stop)
        return simulator

    def path(self, name):
        """A file of the working folder, as nwctl names it."""
        path = os.path.join(self.workdir, name)
        return "Z:" + path.replace("/", "\\") if WINE else path

    def write(self, name, text):
        with open(os.path.join(self.workdir, name), "w", newline="") as f:
            f.write(text)
        return self.path(name)

    def command(self, *args):
        return ["wine", NWCTL, *map(str, args)] if WINE else [NWCTL, *map(str, args)]

    def nwctl(self, *args, password=None, timeout=120):
        """Runs nwctl to its end with no terminal; output goes to files (Wine's
        helpers may hold a pipe open after the program ended)."""
        env = dict(os.environ)
        env.pop("NW_PASSWORD", None)
        if password is not None:
            env["NW_PASSWORD"] = password
        out_path = os.path.join(self.workdir, "out-%d" % time.monotonic_ns())
        with open(out_path + ".stdout", "wb") as out, open(out_path + ".stderr", "wb") as err:
            status = subprocess.run(self.command(*args), stdin=subprocess.DEVNULL, stdout=out, stderr=err, env=env,
                                    cwd=self.workdir, timeout=timeout).returncode
        with open(out_path + ".stdout", "rb") as out, open(out_path + ".stderr", "rb") as err:
            # Wine's console ends lines with CR LF.
            return Run(status, out.read().decode("latin-1").replace("\r\n", "\n"),
                       err.read().decode("latin-1").replace("\r\n", "\n"))

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
        search = subprocess.Popen(self.command("search", "--rounds", 1, "--format", "json"),
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        simulator.wait_received(command=SEARCH)
        for extra in [dict(size=372, macAddress=mac(20), ipAddress="198.51.100.20"),
                      dict(command=SET_CONFIG, macAddress=mac(21), ipAddress="198.51.100.21"),
                      dict(size=RECORD_SIZE - 3, macAddress=mac(22), ipAddress="198.51.100.22")]:
            simulator.send(OPERATOR_IP, REPLY_PORT, **extra)
        output, _ = search.communicate(timeout=60)
        self.assertEqual(search.returncode, OK)
        found = {d["mac"]: d for d in json.loads(output)}
        # Too long and not a reply: dropped. Short: taken, the rest zero.
        self.assertEqual(sorted(found), sorted([mac(1), "M" * 24, mac(22)]))
        self.assertEqual(found[mac(22)]["https"], 0)
        self.assertEqual(found["M" * 24]["product"], "SimCam-0002", "the MAC text ends at the field's end")

    def test_all_adapters_says_where_each_device_answered(self):
        simulator = self.start_simulator(count=2)
        search = subprocess.Popen(self.command("search", "--adapter", "all", "--rounds", 2, "--format", "json"),
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        # Both adapters send, each from its own address.
        requests = simulator.wait_received(2, command=SEARCH, timeout=20)
        self.assertEqual({r["peer"] for r in requests[:2]}, {OPERATOR_IP, SECOND_IP})
        # A device only the second adapter hears, and one that answers to
        # the broadcast address: it arrives on the adapter it was sent to.
        send_datagram(SECOND_IP, REPLY_PORT, command=SEARCH_REPLY, macAddress=mac(30), ipAddress="10.9.9.30")
        send_datagram("255.255.255.255", REPLY_PORT, command=SEARCH_REPLY, macAddress=mac(31), ipAddress="10.9.9.31",
                      **{"from": "198.51.100.12"})
        output, _ = search.communicate(timeout=60)
        self.assertEqual(search.returncode, OK)
        found = {d["mac"]: d["adapter"] for d in json.loads(output)}
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

    def test_port_held_by_another_program(self):
        import socket
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as holder:
            holder.bind(("0.0.0.0", REPLY_PORT))
            self.assert_run(self.nwctl("search", "--rounds", 1), NETWORK, "", "40014")


if __name__ == "__main__":
    unittest.main(verbosity=2)
