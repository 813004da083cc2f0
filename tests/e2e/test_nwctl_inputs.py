#!/usr/bin/env python3
"""nwctl end to end, what an installer meets at a site: a plan with a
misspelt column, a device text a spreadsheet would run, a search wider than
the terminal, progress lines among the devices' lines, the probe and the
findings as they are shown, and what nwctl says after a reboot. In the
private test LAN (two adapters, as test_nwctl.py):

    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl_inputs.py          # native build
    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl_inputs.py --wine   # nwctl.exe under Wine

The cases that need a terminal run natively only.
"""

import fcntl
import json
import os
import pty
import select
import signal
import struct
import subprocess
import termios
import unittest

from simulator import REBOOT, SEARCH, SET_CONFIG
from test_nwctl import NOT_FOUND, OK, OPERATOR_IP, REPORTED, USAGE, WINE, NwctlTest, Terminal, csv_text, mac


def screen_lines(shown):
    """The lines a terminal shows for these bytes: a carriage return goes back
    to the line's start, what follows overwrites it; blanks at the end do not
    show."""
    lines, line, column = [], [], 0
    for c in shown.decode("latin-1"):
        if c == "\n":
            lines.append("".join(line).rstrip())
            line, column = [], 0
        elif c == "\r":
            column = 0
        else:
            if column < len(line):
                line[column] = c
            else:
                line.append(c)
            column += 1
    if line:
        lines.append("".join(line).rstrip())
    return lines


class PlanColumns(NwctlTest):
    def test_a_column_nwctl_does_not_know_is_refused_before_the_search(self):
        simulator = self.start_simulator(count=1)
        plan = self.write("site.csv", csv_text(["mac", "gatway", "web-port"], [[mac(1), "198.51.100.254", 8080]]))
        run = self.nwctl("plan", plan, "--rounds", 1)
        self.assert_run(run, USAGE, "")
        self.assertIn("line 1: column gatway is not one nwctl knows: did you mean gateway?\n", run.stderr)
        self.assertIn("line 1: column web-port is not one nwctl knows: did you mean web_port?\n", run.stderr)
        self.assertIn("a plan's columns are mac and the settings: ip mask gateway", run.stderr)
        self.assertNotIn("no change", run.stdout + run.stderr)
        self.assertEqual(simulator.received(command=SEARCH), [], "refused before the search")

    def test_a_search_with_a_formula_in_a_name_is_text_in_csv_and_still_a_plan(self):
        self.start_simulator(count=1, devices=[{"mac": mac(2), "deviceName": b"=HYPERLINK(\"http://x\")"}])
        run = self.nwctl("search", "--rounds", 1, "--format", "csv")
        self.assert_run(run, OK)
        rows = {row["mac"]: row for row in run.csv_rows()}
        self.assertEqual(rows[mac(2)]["name"], "'=HYPERLINK(\"http://x\")")
        plan = self.write("edited.csv", run.stdout)
        self.assert_run(self.nwctl("plan", plan, "--rounds", 1), OK, stderr_has="0 to change, 0 problems")
        table = self.nwctl("search", "--rounds", 1, "--columns", "mac,name")
        self.assertIn("%s  =HYPERLINK(\"http://x\")\n" % mac(2), table.stdout)


LONG_PRODUCT = "Outdoor PTZ Dome Camera 4K Pro"


@unittest.skipIf(WINE, "the terminal is a Linux pseudo-terminal")
class AtATerminal(NwctlTest):
    def terminal(self, *args):
        env = dict(os.environ, NW_PASSWORD="admin")
        return Terminal(self.command(*args), env, self.workdir, output_on_terminal=True)

    def on_terminal(self, columns, *args, env=None):
        """nwctl run to its end on a terminal `columns` wide: its status and
        the lines the terminal shows."""
        master, slave = pty.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, columns, 0, 0))
        environment = dict(os.environ)
        environment.pop("COLUMNS", None)
        environment.update(env or {})
        process = subprocess.Popen(self.command(*args), stdin=subprocess.DEVNULL, stdout=slave, stderr=slave,
                                   env=environment, cwd=self.workdir,
                                   preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
        os.close(slave)
        shown = b""
        while True:
            if select.select([master], [], [], 60)[0]:
                try:
                    chunk = os.read(master, 4096)
                except OSError:
                    break
                if not chunk:
                    break
                shown += chunk
            else:
                process.kill()
                break
        os.close(master)
        return process.wait(timeout=60), screen_lines(shown)

    def test_the_table_fits_the_terminal_and_wide_shows_every_text_whole(self):
        self.start_simulator(count=1, devices=[{"mac": mac(2), "product": LONG_PRODUCT}])
        status, lines = self.on_terminal(80, "search", "--rounds", 1)
        self.assertEqual(status, OK, lines)
        table = lines[lines.index(next(line for line in lines if line.startswith("mac "))):]
        self.assertEqual(len(table), 3, lines)
        self.assertEqual(max(len(line) for line in table), 80, table)
        row = next(line for line in table if line.startswith(mac(2)))
        self.assertTrue(row.endswith("  Outdoor PTZ Dome Cam~  1.4.2_20240115"), row)

        # COLUMNS, as a shell sets it, says the width.
        status, lines = self.on_terminal(80, "search", "--rounds", 1, env={"COLUMNS": "75"})
        self.assertEqual([len(line) for line in lines if line.startswith("00:1A:2B")], [75, 75], lines)

        status, lines = self.on_terminal(80, "search", "--rounds", 1, "--wide")
        self.assertTrue(any(LONG_PRODUCT in line for line in lines), lines)
        # Not on a terminal: every text whole.
        run = self.nwctl("search", "--rounds", 1)
        self.assertIn(LONG_PRODUCT, run.stdout)

    def test_a_probe_longer_than_a_second_shows_its_count(self):
        status, lines = self.on_terminal(80, "probe", "198.51.100.0/24")
        self.assertIn(status, (OK, REPORTED), lines)
        self.assertIn("probing: 254 of 254", lines)
        header = lines.index("address         state  macs")
        self.assertEqual(lines[header + 1], "198.51.100.1    used   this computer", lines)
        self.assertEqual([line for line in lines if "probing" in line], ["probing: 254 of 254"])

    def test_the_progress_count_is_erased_before_each_device_line(self):
        # Five Saves of 0.4 s: the count shows after the first second.
        count = 5
        self.start_simulator(devices=[{"mac": mac(n), "applyDelay": 0.4} for n in range(1, count + 1)])
        plan = self.write("site.csv", csv_text(["mac", "web_port"], [[mac(n), 81] for n in range(1, count + 1)]))
        terminal = self.terminal("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1)
        status, _ = terminal.finish()
        lines = screen_lines(terminal.shown)
        self.assertEqual(status, OK, lines)
        self.assertIn("applying: %d of %d" % (count, count), lines, "the count showed, and its last stays")
        for n in range(1, count + 1):
            self.assertIn("%s: Apply" % mac(n), lines)
            self.assertIn("%s: verified" % mac(n), lines)
        self.assertEqual([line for line in lines if "applying" in line and "00:1A:2B:" in line], [],
                         "no count runs into a device's line")


class Findings(NwctlTest):
    def test_a_kind_found_on_many_devices_is_one_line_after_the_rare_ones(self):
        self.start_simulator(count=6)
        inventory = self.write("expected.csv", csv_text(["mac"], [[mac(1)], [mac(9)]]))
        run = self.nwctl("check", inventory, "--rounds", 1)
        self.assert_run(run, REPORTED, stderr_has="2 expected, 6 answered, 6 reported")
        lines = run.stdout.splitlines()
        self.assertEqual(len(lines), 3, run)
        self.assertRegex(lines[1], r"^missing +%s +not found by the search" % mac(9))
        self.assertRegex(lines[2], r"^unexpected +5 devices +not in the inventory: %s, %s, %s and 2 more$"
                         % (mac(2), mac(3), mac(4)))
        run = self.nwctl("check", inventory, "--rounds", 1, "--format", "json")
        self.assertEqual(sorted(f["mac"] for f in json.loads(run.stdout) if f["kind"] == "unexpected"),
                         [mac(n) for n in range(2, 7)])


@unittest.skipIf(WINE, "Linux's probe")
class Probe(NwctlTest):
    def test_this_computers_own_address_is_named_so(self):
        run = self.nwctl("probe", OPERATOR_IP)
        self.assert_run(run, OK, "address       state  macs\n"
                                 "%s  used   this computer\n" % OPERATOR_IP)
        run = self.nwctl("probe", OPERATOR_IP, "--format", "json")
        [entry] = json.loads(run.stdout)
        self.assertEqual(entry["this_computer"], entry["macs"][0])
        run = self.nwctl("probe", OPERATOR_IP, "--format", "csv")
        [row] = run.csv_rows()
        self.assertEqual((row["state"], row["this_computer"]), ("used", row["macs"]))


@unittest.skipIf(WINE, "reboot and reset are the same code under Wine as natively")
class AfterAReboot(NwctlTest):
    def test_a_reboot_is_not_confirmed_and_a_search_right_after_may_miss_the_device(self):
        simulator = self.start_simulator(count=2, options=["--reboot-time", "30"])
        run = self.nwctl("reboot", mac(1), "--user", "admin", "--yes", "--rounds", 1, password="admin")
        self.assert_run(run, OK, "reboot sent to %s at 198.51.100.100 (SimCam-0001)\n" % mac(1),
                        "nwctl: devices do not answer a reboot, so it is not confirmed: a device that takes it "
                        "restarts, and a search may not find it until it is up again\n")
        simulator.wait_event("reboot")
        run = self.nwctl("set", mac(1), "--web-port", 81, "--user", "admin", "--yes", "--rounds", 1,
                         password="admin")
        self.assert_run(run, NOT_FOUND, "", "%s did not answer the search; if it is restarting (after a reboot, a "
                                            "reset or new settings), search again once it is up" % mac(1))
        plan = self.write("site.csv", csv_text(["mac", "web_port"], [[mac(1), 81]]))
        run = self.nwctl("plan", plan, "--rounds", 1)
        self.assertIn("%s: not found by the search; if it is restarting" % mac(1), run.stdout)
        self.assertEqual(len(simulator.received(command=REBOOT)), 1)
        self.assertEqual(simulator.received(command=SET_CONFIG), [])

    def test_a_reset_says_so_too(self):
        simulator = self.start_simulator(count=1, options=["--reboot-time", "1"])
        run = self.nwctl("reset", mac(1), "--user", "admin", "--yes", "--rounds", 1, password="admin")
        self.assert_run(run, OK, stderr_has="devices do not answer a factory reset, so it is not confirmed: a device "
                                            "that takes it restarts with its factory settings")
        simulator.wait_event("back")


if __name__ == "__main__":
    unittest.main(verbosity=2)
