"""A Windows zip of ./nw dist as a site's laptop gets it, unpacked into a
folder whose path holds a blank: what it holds (ZipContents, which runs
anywhere), and the programs in it run under Wine (ZipUnderWine): nwctl.exe
tells its version, and the program finds simulated devices, its Run button
starting a stand-in firmware tool put in the zip's ExtensionTool folder.
NW_WINE_ARCH, or inside the test LAN its --arch, names the zip's build; the
stand-in comes from the test build of that architecture.

    NW_DIST_ZIP=dist/nodewright-V-windows-x64.zip NW_VERSION=V \\
        tools/testlan/testlan --arch x64 -- python3 tests/dist/test_windows_zip.py
    NW_DIST_ZIP=dist/nodewright-V-windows-x86.zip NW_VERSION=V NW_WINE_ARCH=x86 \\
        python3 tests/dist/test_windows_zip.py ZipContents
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

TESTS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path[:0] = [os.path.join(TESTS, "e2e"), os.path.join(TESTS, "e2e", "fixtures"), os.path.join(TESTS, "static")]

import harness  # noqa: E402
import pe_image  # noqa: E402
from harness import IDC_DEVICE_LIST, IDC_RUN, IDC_USER_ID, wine_path  # noqa: E402
from harness import COLUMN_IP_ADDRESS  # noqa: E402
from host_fixtures import FAKE_REFLASH, TIME_LIMIT_S, Records  # noqa: E402
from windows_build import ARCH, BUILDS  # noqa: E402

ZIP = os.environ.get("NW_DIST_ZIP", "")
VERSION = os.environ.get("NW_VERSION", "")
TOP = "nodewright-%s/" % VERSION
EXPECTED_ENTRIES = {TOP + name for name in ("Nodewright.exe", "nwctl.exe", "ExtensionTool/",
                                            "ExtensionTool/README.txt", "SITE-GUIDE.txt", "LICENSE.txt")}


class UnpackedZip:
    """Unpacks the zip into the test's working folder, as a site would."""

    def unpack(self, workdir):
        if not ZIP or not VERSION:
            self.skipTest("NW_DIST_ZIP and NW_VERSION name the zip and its version")
        self.site = os.path.join(workdir, "Site laptop", "Camera tools")
        with zipfile.ZipFile(ZIP) as archive:
            self.entries = archive.namelist()
            archive.extractall(self.site)
        self.folder = os.path.join(self.site, TOP)

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()


class ZipContents(UnpackedZip, unittest.TestCase):
    def setUp(self):
        workdir = tempfile.mkdtemp(prefix="zip-")
        self.addCleanup(shutil.rmtree, workdir, True)
        self.unpack(workdir)

    def test_what_it_holds(self):
        self.assertEqual(set(self.entries), EXPECTED_ENTRIES)
        self.assertEqual(os.listdir(os.path.join(self.folder, "ExtensionTool")), ["README.txt"])
        for text in ("SITE-GUIDE.txt", "LICENSE.txt", "ExtensionTool/README.txt"):
            data = self.read(text)
            self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), text + ": Windows line ends")
        guide = self.read("SITE-GUIDE.txt").decode("ascii")
        for needed in ("administrator", "UDP port 40014", "netsh advfirewall firewall add rule",
                       "usage: nwctl COMMAND", "Nodewright " + VERSION):
            self.assertIn(needed, guide)
        self.assertNotIn("@", guide.replace("nodewright@", ""), "a placeholder left in the guide")

        images = {exe: pe_image.PeImage(self.read(exe)) for exe in ("Nodewright.exe", "nwctl.exe")}
        for exe, image in images.items():
            header = image.header
            self.assertEqual(header["machine"], BUILDS[ARCH]["pe_machine"], exe + ": the zip's machine")
            self.assertEqual((header["symbol_table"], header["symbols"]), (0, 0), exe + ": stripped")
            self.assertEqual(header["time_date_stamp"], 0, exe + ": no link time")
        (block,) = pe_image.resources_of(images["Nodewright.exe"], pe_image.RT_VERSION)
        self.assertEqual(pe_image.version_block(block)[:2], (VERSION, VERSION))


class ZipUnderWine(UnpackedZip, harness.ProgramTest):
    def setUp(self):
        super().setUp()
        self.unpack(self.workdir)

    def test_nwctl_tells_the_version(self):
        output = subprocess.run(harness.wine(os.path.join(self.folder, "nwctl.exe"), "--version"), check=True,
                                stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, timeout=120).stdout
        self.assertEqual(output.decode().strip(), "nwctl " + VERSION)

    def test_program_finds_devices_and_runs_the_firmware_tool_beside_it(self):
        shutil.copyfile(FAKE_REFLASH, os.path.join(self.folder, "ExtensionTool", "Reflash.exe"))
        records = Records(os.path.join(self.workdir, "records"))
        devices = [dict(ip="198.51.100.%d" % (60 + n), webPort=80 + n, firmware="1.0.%d_20230101" % n)
                   for n in range(3)]
        self.start_simulator(devices=devices)
        exe = os.path.join(self.folder, "Nodewright.exe")
        self.start_program(exe=wine_path(exe), env=records.env)
        self.call("wait-rows", IDC_DEVICE_LIST, len(devices), "--timeout", TIME_LIMIT_S * 1000)

        rows = self.call("list", IDC_DEVICE_LIST)["rows"]
        addresses = [row["cells"][COLUMN_IP_ADDRESS] for row in rows]
        self.assertEqual(sorted(addresses), [device["ip"] for device in devices])
        self.call("type", IDC_USER_ID, "admin")
        self.call("list-check", IDC_DEVICE_LIST, addresses.index("198.51.100.61"), "on")
        self.call("click", IDC_RUN)
        (line,) = records.wait("reflash", 1)
        self.assertEqual(line, b"./ExtensionTool/Reflash.exe  -u admin -i 198.51.100.61&81&1.0.1_20230101")
        ((executable, *_),) = records.runs("reflash_run")
        tool = wine_path(os.path.join(self.folder, "ExtensionTool", "Reflash.exe"))
        self.assertEqual(executable.decode("latin-1").lower(), tool.lower())

        self.call("key", "Escape")
        self.assertEqual(self.program.wait_exit(TIME_LIMIT_S), 0)


if __name__ == "__main__":
    harness.main()
