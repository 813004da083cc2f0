#!/usr/bin/env python3
"""nwctl watch end to end: the simulator plays devices that arrive, leave,
come back and change address while nwctl watches, in the private test LAN
(two adapters, as test_nwctl.py):

    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl_watch.py          # native build
    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl_watch.py --wine   # nwctl.exe under Wine

Under Wine a signal to the program is a Ctrl-C in its console; the live
table needs a Linux terminal and runs natively only.
"""

import json
import os
import re
import signal
import subprocess
import time
import unittest

from test_nwctl import NETWORK, OK, USAGE, WINE, NwctlTest, Terminal, mac

MOVED_TO = "198.51.100.150"   # where device 4 moves, and device 6 answers from the start
DETOUR = "198.51.100.160"     # where device 5 goes before it moves back to its first address
DEFAULT_IP = "198.51.100.250"  # --default-ip, where device 8 moves
HOSTILE_MAC = b"\x1b]0;pwned\x07"

# Seconds from the simulator's start; nwctl starts watching right after.
DEVICES = [
    {"mac": mac(1)},                                            # .100, there all along
    {"mac": mac(2), "appearAt": 3},                             # .101
    {"mac": mac(3), "leaveAt": 3},                              # .102
    {"mac": mac(4), "moveAt": 4, "moveTo": MOVED_TO},           # .103, then shares MOVED_TO with device 6
    {"mac": mac(5), "moveAt": 3, "moveTo": DETOUR, "moveBackAt": 6},  # .104
    {"mac": mac(6), "ip": MOVED_TO},
    {"mac": mac(7), "leaveAt": 2, "rejoinAt": 8},               # .106
    {"mac": mac(8), "moveAt": 4, "moveTo": DEFAULT_IP},         # .107
    {"macAddress": HOSTILE_MAC, "ip": "198.51.100.108"},
]

# What the lines say, in any order between devices.
EXPECTED_LINES = [
    "appeared %s at 198.51.100.100" % mac(1),
    "appeared %s at 198.51.100.101" % mac(2),
    "appeared \\x1B]0;pwned\\x07 at 198.51.100.108",
    r"gone %s from 198\.51\.100\.102, last seen \S+Z" % mac(3),
    "moved %s from 198.51.100.103 to %s" % (mac(4), MOVED_TO),
    "shared-address %s answered by %s and %s" % (MOVED_TO, mac(4), mac(6)),
    "moved %s from 198.51.100.104 to %s" % (mac(5), DETOUR),
    "moved %s from %s to 198.51.100.104, back on a factory default?" % (mac(5), DETOUR),
    r"gone %s from 198\.51\.100\.106, last seen \S+Z" % mac(7),
    r"back %s at 198\.51\.100\.106, gone since \S+Z" % mac(7),
    "moved %s from 198.51.100.107 to %s, back on a factory default?" % (mac(8), DEFAULT_IP),
]
# Each kind's count once every event above has happened.
EXPECTED_COUNTS = {"appeared": 9, "gone": 2, "back": 1, "moved": 4, "shared-address": 1}
TIME = r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ"


class Watch(NwctlTest):
    def start(self, *args, **kwargs):
        started = super().start(*args, **kwargs)
        self.addCleanup(lambda: started[0].poll() is None and started[0].kill())
        return started

    def watch(self, *args):
        self.start_simulator(devices=DEVICES)
        return self.start("watch", "--interval", 1, "--default-ip", DEFAULT_IP, *args)

    def read_stdout(self, started):
        with open(started[1] + ".stdout", "rb") as out:
            # Wine's console ends lines with CR LF.
            return out.read().decode("latin-1").replace("\r\n", "\n")

    def wait_output(self, started, condition, what, timeout=60):
        """Polls nwctl's output until condition(text) holds; its result."""
        deadline = time.monotonic() + timeout
        while True:
            text = self.read_stdout(started)
            result = condition(text)
            if result:
                return result
            self.assertIsNone(started[0].poll(), "nwctl ended while waiting for %s:\n%s" % (what, text))
            if time.monotonic() > deadline:
                self.fail("no %s in %d s; nwctl wrote:\n%s" % (what, timeout, text))
            time.sleep(0.1)

    def stop(self, started, number=signal.SIGINT):
        started[0].send_signal(number)
        return self.finish(started, timeout=30)

    def test_every_change_as_a_line_and_the_summary_on_ctrl_c(self):
        started = self.watch("--format", "lines")
        for expected in EXPECTED_LINES:
            pattern = re.compile("^%s %s$" % (TIME, expected if "\\S" in expected else re.escape(expected)), re.M)
            self.wait_output(started, pattern.search, repr(expected))
        run = self.stop(started)
        self.assert_run(run, OK)
        self.assertEqual(run.stderr, "", run)
        lines = run.stdout.splitlines()
        self.assertTrue(all(0x20 <= ord(c) < 0x7F for c in run.stdout.replace("\n", "")), "nothing raw reaches "
                        "a terminal")
        self.assertEqual(sum(" shared-address " in line for line in lines), 1, "a lasting share is said once")
        first = [line for line in lines if " appeared " in line]
        self.assertLess(first[0][:20], [line for line in first if mac(2) in line][0][:20],
                        "the device that arrived later appeared later")

        # The summary is the last line, after every event.
        summary = re.fullmatch(r"%s summary (\d+) passes, 9 devices seen; (.*)" % TIME, lines[-1])
        self.assertIsNotNone(summary, run)
        self.assertGreaterEqual(int(summary.group(1)), 8)
        self.assertEqual(summary.group(2), ", ".join("%d %s" % (n, kind) for kind, n in EXPECTED_COUNTS.items()))

    def test_json_lines_one_object_per_event_and_a_summary_object(self):
        started = self.watch("--format", "jsonl")

        def events(text):
            # Only whole lines: the last may be on its way.
            return [json.loads(line) for line in text.splitlines(keepends=True) if line.endswith("\n")]

        def has(**wanted):
            return lambda text: [e for e in events(text) if all(e.get(k) == v for k, v in wanted.items())]

        self.wait_output(started, has(event="appeared", mac=HOSTILE_MAC.decode("latin-1")), "the hostile MAC")
        self.wait_output(started, has(event="appeared", mac=mac(2), ip="198.51.100.101"), "device 2 appearing")
        gone = self.wait_output(started, has(event="gone", mac=mac(3)), "device 3 gone")[0]
        self.assertEqual(gone["ip"], "198.51.100.102")
        self.assertRegex(gone["last_seen"], TIME)
        self.assertLess(gone["last_seen"], gone["time"])
        moved = self.wait_output(started, has(event="moved", mac=mac(4)), "device 4 moving")[0]
        self.assertEqual((moved["previous_ip"], moved["ip"], moved["factory_default"]),
                         ("198.51.100.103", MOVED_TO, False))
        shared = self.wait_output(started, has(event="shared-address"), "a shared address")[0]
        self.assertEqual((shared["ip"], shared["mac"], shared["macs"]), (MOVED_TO, mac(4), [mac(4), mac(6)]))
        back = self.wait_output(started, has(event="moved", mac=mac(5), ip="198.51.100.104"), "device 5 back")[0]
        self.assertEqual((back["previous_ip"], back["factory_default"]), (DETOUR, True))
        default = self.wait_output(started, has(event="moved", mac=mac(8)), "device 8 at the default")[0]
        self.assertEqual((default["ip"], default["factory_default"]), (DEFAULT_IP, True))
        rejoined = self.wait_output(started, has(event="back", mac=mac(7)), "device 7 back")[0]
        self.assertEqual(rejoined["previous_ip"], "198.51.100.106")

        run = self.stop(started)
        self.assert_run(run, OK)
        objects = events(run.stdout)
        self.assertEqual(len(objects), len(run.stdout.splitlines()), "every line is one whole object")
        summary = objects[-1]
        self.assertEqual(summary["event"], "summary")
        self.assertEqual(summary["devices"], 9)
        self.assertEqual(summary["events"], EXPECTED_COUNTS)
        self.assertGreater(summary["passes"], 0)
        self.assertEqual(len(objects) - 1, sum(EXPECTED_COUNTS.values()))

    def test_a_signal_ends_the_wait_between_searches_at_once(self):
        # A minute between searches: the end comes long before the next.
        for number in (signal.SIGINT,) if WINE else (signal.SIGINT, signal.SIGTERM):
            with self.subTest(signal=number.name):
                self.start_simulator(devices=[{"mac": mac(1)}])
                started = self.start("watch", "--interval", 60, "--format", "jsonl")
                self.wait_output(started, lambda text: mac(1) in text, "the first search")
                run = self.stop(started, number)
                self.assert_run(run, OK)
                summary = json.loads(run.stdout.splitlines()[-1])
                self.assertEqual((summary["event"], summary["passes"], summary["devices"]), ("summary", 1, 1))

    def test_bad_arguments_and_no_adapter(self):
        for args, says in [(["--interval", "0.5"], "--interval must be seconds from 1 to 3600"),
                           (["--default-ip", "198.51.100"], "--default-ip must be a dotted IPv4 address"),
                           (["--format", "csv"], "--format must be table, lines or jsonl"),
                           (["--rounds", "2"], "watch has no option \"--rounds\"")]:
            with self.subTest(args=args):
                self.assert_run(self.nwctl("watch", *args), USAGE, "", says)
        self.assert_run(self.nwctl("watch", "--adapter", "lan9"), NETWORK, "", "no adapter is named")


@unittest.skipIf(WINE, "the terminal is Linux's")
class LiveTable(NwctlTest):
    def test_the_table_is_redrawn_in_place_with_the_events_above(self):
        self.start_simulator(devices=[{"mac": mac(1)}, {"mac": mac(2), "appearAt": 3},
                                      {"mac": mac(3), "productName": b"\x1b[2Jwiped"}])
        screen = Terminal(self.command("watch", "--interval", 1), dict(os.environ), self.workdir,
                          output_on_terminal=True)
        screen.wait_for("watching lan0 (198.51.100.1): first search; Ctrl-C ends")
        screen.wait_for("appeared %s at 198.51.100.101" % mac(2))
        screen.wait_for("%s  198.51.100.101  present" % mac(2))
        # A block is gone over only by the redraw after it: wait for the
        # one over the block of three devices before ending.
        screen.wait_for("\x1b[5A\r\x1b[J")
        screen.process.send_signal(signal.SIGINT)
        self.assertEqual(screen.finish(timeout=30)[0], OK, screen.shown)
        shown = screen.shown.decode("latin-1")
        # Each redraw goes back up over the block it drew before (status,
        # header and a line per device), clears it and draws it again,
        # without wrapping.
        redraws = re.findall(r"\x1b\[(\d+)A\r\x1b\[J", shown)
        self.assertGreaterEqual(len(redraws), 3)
        self.assertEqual(redraws[0], "2", "the first redraw covers the status line and the header")
        self.assertIn("5", redraws, "the status, the header and three devices")
        self.assertEqual(shown.count("\x1b[?7l"), shown.count("\x1b[?7h"))
        self.assertNotIn("\x1b[2J", shown, "a device's text is escaped")
        self.assertIn("\\x1B[2Jwiped", shown)
        self.assertEqual(shown.count("appeared %s" % mac(1)), 1, "each event shows once, above the table")
        self.assertRegex(shown, r"summary \d+ passes, 3 devices seen; 3 appeared, 0 gone, 0 back, 0 moved, "
                                r"0 shared-address\r\n$")


if __name__ == "__main__":
    unittest.main(verbosity=2)
