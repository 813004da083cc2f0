#!/usr/bin/env python3
"""nwctl.exe's console under Wine: a console that takes the mode of escape
sequences (ENABLE_VIRTUAL_TERMINAL_PROCESSING) but shows them as text, as
Wine's does on a Linux terminal, gets watch's events as lines, not a table
redrawn with sequences that it prints; and Windows paths show as given, and
Windows' device names are not written over. In the private test LAN:

    tools/testlan/testlan -- python3 tests/e2e/test_nwctl_console.py --wine

Wine's console on a terminal draws what the program wrote with sequences
of its own: each character between a hidden and a shown cursor
(ESC [?25l ... ESC [?25h), a blank as an erase and a step right
(ESC [K ESC [1C), each line ended with CR CR LF. The program's own escape
byte, when it writes one, comes out raw among them.
"""

import os
import re
import select
import signal
import time
import unittest

from test_nwctl import OK, USAGE, WINE, NwctlTest, Terminal, mac

# The sequences Wine's console draws with, and what each shows.
CONSOLE_DRAWING = re.compile(rb"\x1b\[\?25[lh]|\x1b\[K|\x1b\[(\d*)C")
TIME = r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ"


def shown_text(shown):
    """The text on the terminal, Wine's own drawing taken out."""
    text = CONSOLE_DRAWING.sub(lambda m: b" " * int(m.group(1) or 1) if m.group(0).endswith(b"C") else b"", shown)
    return text.decode("latin-1").replace("\r\r\n", "\n").replace("\r\n", "\n")


def wait_shown(screen, text, timeout):
    """Reads the terminal until its text shows `text`."""
    deadline = time.monotonic() + timeout
    while text not in shown_text(screen.shown):
        left = deadline - time.monotonic()
        if left <= 0:
            raise AssertionError("the terminal did not show %r; it shows %r" % (text, shown_text(screen.shown)))
        if select.select([screen.master], [], [], left)[0]:
            screen.shown += os.read(screen.master, 4096)


@unittest.skipUnless(WINE, "Wine's console")
class WineConsole(NwctlTest):
    def test_watch_writes_lines_where_the_console_shows_sequences_as_text(self):
        self.start_simulator(devices=[{"mac": mac(1)}, {"mac": mac(2), "appearAt": 3}])
        screen = Terminal(self.command("watch", "--interval", 1), dict(os.environ), self.workdir,
                          output_on_terminal=True)
        wait_shown(screen, "appeared %s at 198.51.100.101" % mac(2), 90)
        screen.process.send_signal(signal.SIGINT)
        self.assertEqual(screen.finish(timeout=60)[0], OK, screen.shown)
        text = shown_text(screen.shown)
        # Every escape byte starts one of the console's own sequences: none
        # of nwctl's reached the terminal as text.
        self.assertEqual(len(re.findall(rb"\x1b", screen.shown)), len(CONSOLE_DRAWING.findall(screen.shown)),
                         screen.shown)
        self.assertNotIn("watching lan0", text, "no table, no status line above it")
        self.assertRegex(text, r"(?m)^%s appeared %s at 198\.51\.100\.100$" % (TIME, mac(1)))
        self.assertRegex(text, r"(?m)^%s appeared %s at 198\.51\.100\.101$" % (TIME, mac(2)))
        # The console wraps at its 80 columns.
        self.assertRegex(text.replace("\n", ""), r"%s summary \d+ passes, 2 devices seen; 2 appeared, 0 gone, 0 back, "
                                                 r"0 moved, 0 shared-address$" % TIME)



@unittest.skipUnless(WINE, "Windows paths")
class WindowsPaths(NwctlTest):
    def test_paths_show_as_given_and_device_names_are_refused(self):
        self.start_simulator(count=1)
        site = self.path("site.html")
        self.assertIn("\\", site)
        run = self.nwctl("report", "-o", site, "--rounds", 1)
        self.assert_run(run, OK, "", "nwctl: report written to %s: 1 device," % site)
        self.assertNotIn("\\\\", run.stderr, "no backslash doubled")
        log = self.write("broken.audit.jsonl", '{"event": "sent", "mac\n')
        run = self.nwctl("report", "-o", site, "--audit", log, "--rounds", 1)
        self.assert_run(run, OK, "", "nwctl: %s: line 1: not JSON" % log)
        self.assert_run(self.nwctl("plan", self.path("missing.csv"), "--rounds", 1), USAGE, "",
                        "nwctl: cannot read %s: No such file or directory" % self.path("missing.csv"))
        for device in ["NUL", "COM1", self.path("NUL")]:
            with self.subTest(device=device):
                self.assert_run(self.nwctl("report", "-o", device, "--rounds", 1), USAGE, "",
                                "nwctl: cannot write %s: it is a device, not a regular file\n" % device)


if __name__ == "__main__":
    unittest.main(verbosity=2)
