#!/usr/bin/env python3
"""nwctl report end to end: the real program on the operator side of the
private test LAN against the device simulator and other hosts on the LAN,
and the page it writes opened in a real browser (Chromium, headless, in the
operator namespace, which has no route out). Runs in the test LAN:

    tools/testlan/testlan --adapters 1 -- python3 tests/e2e/test_nwctl_report.py

NW_BUILD_DIR names the native build with nwctl and the simulator. The
browser checks are skipped, saying so, when chromium is not installed.
"""

import html.parser
import json
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest

import lan_hosts
from test_nwctl import NO_DEVICES, OK, USAGE, NwctlTest, csv_text, mac
from simulator import SEARCH

HOSTILE_NAME = "<img src=x onerror=alert(1)>"
HOSTILE_MAC = "AA:BB:CC:DD:EE:01"
BYSTANDER_MAC = "02:00:5e:10:00:07"
BYSTANDER_IP = "198.51.100.31"
INTRUDER_MAC = "02:00:5e:10:00:64"  # holds device 1's address as well
CHROMIUM = shutil.which("chromium")


class Dom(html.parser.HTMLParser):
    """The elements of a page as a browser left them, with the text of the
    device table's body rows."""

    def __init__(self, text):
        super().__init__()
        self.tags = []
        self.device_rows = []
        self._table = None
        self._in_devices = False
        self._row = None
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, dict(attrs)))
        if tag == "table" and dict(attrs).get("class") == "devices":
            self._in_devices = True
        elif self._in_devices and tag == "tr":
            self._row = []
        elif self._in_devices and tag == "td" and self._row is not None:
            self._row.append("")

    def handle_endtag(self, tag):
        if tag == "table":
            self._in_devices = False
        elif tag == "tr" and self._row is not None:
            if self._row:  # the header row has no td
                self.device_rows.append(self._row)
            self._row = None

    def handle_data(self, data):
        if self._row:
            self._row[-1] += data


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", head
    return struct.unpack(">II", head[16:24])


def pdf_pages(path):
    with open(path, "rb") as f:
        data = f.read()
    pages = len(re.findall(rb"/Type\s*/Page(?![A-Za-z])", data))
    landscape = len(re.findall(rb"/MediaBox\s*\[0 0 841\.\d+ 59[45]\.\d+\]", data))
    return pages, landscape


class Report(NwctlTest):
    def browser(self, *args):
        """Headless Chromium on a page of the working folder; its standard
        output (D-Bus complaints on standard error are harmless)."""
        profile = tempfile.mkdtemp(prefix="chromium-", dir=self.workdir)
        done = subprocess.run([CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                               "--disable-background-networking", "--disable-component-update", "--disable-sync",
                               "--user-data-dir=" + profile, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=120)
        self.assertEqual(done.returncode, 0, done.stderr.decode(errors="replace")[-2000:])
        return done.stdout.decode()

    def audit_log(self):
        """A real audit log: plan --apply gives device 2 web port 8080."""
        plan = self.write("site.csv", csv_text(["mac", "web_port"], [[mac(2), 8080], [mac(3), 80]]))
        run = self.nwctl("plan", plan, "--apply", "--yes", "--user", "admin", "--rounds", 1, password="admin")
        self.assert_run(run, OK)
        logs = [f for f in os.listdir(self.workdir) if f.startswith("site-") and f.endswith(".audit.jsonl")]
        self.assertEqual(len(logs), 1, os.listdir(self.workdir))
        return self.path(logs[0])

    def test_the_site_report_shows_everything_and_nothing_runs_in_the_browser(self):
        self.start_simulator(count=3, devices=[
            {"mac": HOSTILE_MAC, "ip": "198.51.100.40", "name": HOSTILE_NAME, "firmware": "1.0_20230101"}])
        # Another host on a free address, and one on device 1's address,
        # which the device itself answers for too.
        bystander = lan_hosts.LanHost(BYSTANDER_MAC, [BYSTANDER_IP])
        device_1 = lan_hosts.LanHost(mac(1), ["198.51.100.100"])
        intruder = lan_hosts.LanHost(INTRUDER_MAC, ["198.51.100.100"])
        with bystander, device_1, intruder:
            log = self.audit_log()
            inventory = self.write("inventory.csv", csv_text(["mac", "ip"], [[mac(n), ""] for n in (1, 2, 3, 9)]))
            common = ["--site", "Depot North", "--inventory", inventory, "--audit", log,
                      "--min-firmware-date", "20240101", "--rounds", 1]
            run = self.nwctl("report", "-o", self.path("report.html"), *common)
            self.assert_run(run, OK, "", "report written to")
            run = self.nwctl("report", "-o", self.path("report.json"), "--format", "json", *common)
            self.assert_run(run, OK, "", "report written to")

        # The content, by its JSON twin.
        with open(os.path.join(self.workdir, "report.json")) as f:
            report = json.load(f)
        self.assertEqual(report["site"], "Depot North")
        self.assertEqual(report["adapters"], [{"name": "lan0", "address": "198.51.100.1", "mask": "255.255.255.0"}])
        self.assertEqual([d["ip"] for d in report["devices"]],
                         ["198.51.100.40", "198.51.100.100", "198.51.100.101", "198.51.100.102"])
        self.assertEqual(report["devices"][0]["name"], HOSTILE_NAME)
        self.assertEqual(report["devices"][2]["web_port"], 8080, "the change plan --apply made")
        findings = {(f["kind"], f["mac"]) for f in report["findings"]}
        self.assertIn(("missing", mac(9)), findings)
        self.assertIn(("unexpected", HOSTILE_MAC), findings)
        self.assertIn(("old-firmware", HOSTILE_MAC), findings)
        self.assertIn(("factory-ports", mac(1)), findings)
        self.assertIn(("factory-ports", mac(2)), findings, "its other ports are still the factory's")
        self.assertEqual([(f["ip"], f["detail"]) for f in report["findings"] if f["kind"] == "ip-conflict"],
                         [("198.51.100.100", "2 MACs answer for it: %s and %s" % (mac(1), INTRUDER_MAC.upper()))])
        self.assertEqual([(c["mac"], c["event"], c["changes"], c["result"], c["verified"]) for c in report["changes"]],
                         [(mac(2), "sent", [{"setting": "web_port", "from": "80", "to": "8080"}], "Apply", True),
                          (mac(3), "unchanged", [], None, True)])
        self.assertEqual(report["audit_problems"], [])
        cells = {c["address"]: c for c in report["address_map"]["addresses"]}
        self.assertEqual(len(cells), 256)
        self.assertEqual(cells["198.51.100.1"]["state"], "this computer")
        self.assertEqual(cells["198.51.100.40"]["state"], "device")
        # What the probe heard: the other host, the conflict, the rest free.
        self.assertEqual(report["address_map"]["probe_limit"], "")
        self.assertEqual(cells[BYSTANDER_IP]["state"], "other host")
        self.assertIn(BYSTANDER_MAC.upper(), cells[BYSTANDER_IP]["detail"].upper())
        self.assertEqual(cells["198.51.100.100"]["state"], "conflict")
        self.assertIn(INTRUDER_MAC.upper(), cells["198.51.100.100"]["detail"].upper())
        self.assertEqual(cells["198.51.100.50"]["state"], "free")

        page = os.path.join(self.workdir, "report.html")
        with open(page, "rb") as f:
            source = f.read()
        self.assertNotIn(b"<script", source)
        self.assertIn(b"&lt;img src=x onerror=alert(1)&gt;", source)
        if not CHROMIUM:
            self.skipTest("chromium is not installed: the browser checks did not run (./nw setup installs it)")

        # The page as the browser builds it: one row per device, every field,
        # and no element made of the hostile name, whose text shows as it is.
        dom = Dom(self.browser("--dump-dom", "file://" + page))
        self.assertEqual(len(dom.device_rows), 4, dom.device_rows)
        self.assertEqual({len(row) for row in dom.device_rows}, {17})
        self.assertIn(HOSTILE_NAME, dom.device_rows[0])
        self.assertEqual([tag for tag, _ in dom.tags if tag in ("img", "script", "iframe", "object", "link")], [])
        self.assertFalse([attrs for _, attrs in dom.tags if any(name.startswith("on") for name in attrs)])
        self.assertEqual(sum(1 for tag, _ in dom.tags if tag == "svg"), 2, "the map and the chart")

        # A screenshot: the page renders, with more in it than white.
        shot = os.path.join(self.workdir, "report.png")
        self.browser("--screenshot=" + shot, "--window-size=1280,2000", "file://" + page)
        self.assertEqual(png_size(shot), (1280, 2000))
        self.assertGreater(os.path.getsize(shot), 40000, "a blank page compresses to a few kilobytes")
        keep = os.environ.get("NW_REPORT_SCREENSHOT")
        if keep:
            shutil.copyfile(shot, keep)

        # On paper: A4, the summary and findings, the map, the device table
        # on a landscape page of its own, and the changes.
        pdf = os.path.join(self.workdir, "report.pdf")
        self.browser("--print-to-pdf=" + pdf, "--no-pdf-header-footer", "file://" + page)
        self.assertEqual(pdf_pages(pdf), (4, 1))

    def test_what_it_refuses_before_the_search_and_a_log_line_it_skips(self):
        simulator = self.start_simulator(count=1)
        os.mkdir(os.path.join(self.workdir, "folder"))
        cases = [
            (["-o", self.path("no-such-folder/r.html")], "cannot write"),
            (["-o", self.path("folder")], "it is a folder"),
            (["-o", self.path("r.html"), "--audit", self.path("missing.jsonl")], "cannot read"),
            (["-o", self.path("r.html"), "--inventory", self.write("bad.csv", "mac\nnope\n")],
             "line 2: mac \"nope\" is not a MAC address"),
            (["--site", "x"], "report needs -o FILE"),
        ]
        for args, says in cases:
            with self.subTest(args=args):
                self.assert_run(self.nwctl("report", "--rounds", 1, *args), USAGE, "", says)
        self.assertEqual(simulator.received(command=SEARCH), [], "refused before the search")
        self.assertFalse(os.path.exists(os.path.join(self.workdir, "r.html")))
        self.assertEqual([f for f in os.listdir(self.workdir) if ".part-" in f], [], "no new file left behind")

        # A log with a line that is no audit line: named, skipped, reported.
        log = self.write("broken.audit.jsonl", '{"time": "t", "event": "unchanged", "mac": "%s", "before": {}}\n'
                                               '{"event": "sent", "mac\n' % mac(1))
        run = self.nwctl("report", "-o", self.path("r.html"), "--audit", log, "--rounds", 1)
        self.assert_run(run, OK, "", "broken.audit.jsonl: line 2: not JSON")
        with open(os.path.join(self.workdir, "r.html")) as f:
            self.assertIn("broken.audit.jsonl: line 2: not JSON", f.read())

    def test_a_site_where_nothing_answered_gets_a_report_that_says_so(self):
        run = self.nwctl("report", "-o", self.path("empty.html"), "--rounds", 1)
        self.assert_run(run, NO_DEVICES, "", "no device answered the search")
        with open(os.path.join(self.workdir, "empty.html")) as f:
            self.assertIn("No device answered the search", f.read())


if __name__ == "__main__":
    unittest.main(verbosity=2)
