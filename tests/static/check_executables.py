#!/usr/bin/env python3
"""What the Windows executables of a build are, checked without running them,
so that it holds on every machine, one that runs no 32-bit code included:
the build's machine and header kind, the subsystem, imports of Windows' own
DLLs only (the programs are linked statically), the manifest that asks for
administrator rights, the version block and the program's resources.

    NW_BUILD_DIR=build/win32 NW_WINE_ARCH=x86 NW_VERSION=2.1.0.5 \\
        python3 tests/static/check_executables.py
"""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(os.path.dirname(HERE), "e2e")]

import pe_image  # noqa: E402
from harness import RESOURCE_IDS  # noqa: E402
from pe_image import PeImage, resources_of  # noqa: E402
from windows_build import BUILDS, SOURCE_DIR  # noqa: E402

ARCH = os.environ.get("NW_WINE_ARCH", "x86")
BIN = os.path.join(os.environ.get("NW_BUILD_DIR") or os.path.join(SOURCE_DIR, "build", BUILDS[ARCH]["preset"]),
                   "bin")
VERSION = os.environ.get("NW_VERSION", "")

# DLLs that every Windows since 7 carries in its system folder.
WINDOWS_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "iphlpapi.dll", "kernel32.dll",
                "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
                "version.dll", "ws2_32.dll"}

# The shipped executables and the subsystem each runs in.
EXECUTABLES = [("Nodewright.exe", pe_image.SUBSYSTEM_GUI), ("nwctl.exe", pe_image.SUBSYSTEM_CONSOLE)]


def load(name):
    with open(os.path.join(BIN, name), "rb") as f:
        return PeImage(f.read())


class Executables(unittest.TestCase):
    def test_machine_subsystem_and_imports(self):
        magic = pe_image.MAGIC_PE32 if BUILDS[ARCH]["pe_machine"] == pe_image.MACHINE_I386 else \
            pe_image.MAGIC_PE32_PLUS
        for name, subsystem in EXECUTABLES:
            with self.subTest(name):
                image = load(name)
                self.assertEqual(image.header["machine"], BUILDS[ARCH]["pe_machine"], "machine of the %s build" % ARCH)
                self.assertEqual(image.magic, magic)
                self.assertEqual(image.subsystem, subsystem)
                imported = {dll.lower() for dll in image.imported_dlls()}
                self.assertIn("kernel32.dll", imported)
                self.assertLessEqual(imported, WINDOWS_DLLS, "imports beyond Windows' own DLLs")

    def test_manifest_asks_for_administrator_rights(self):
        manifests = resources_of(load("Nodewright.exe"), pe_image.RT_MANIFEST, 1)
        self.assertEqual(len(manifests), 1, "one manifest, id 1 (the one CreateProcess reads)")
        self.assertRegex(manifests[0].decode("utf-8"), r'requestedExecutionLevel\s+level="requireAdministrator"')

    def test_version_block_carries_the_project_version(self):
        if not VERSION:
            self.skipTest("NW_VERSION gives the project's version")
        (block,) = resources_of(load("Nodewright.exe"), pe_image.RT_VERSION, 1)
        file_version, product_version, strings = pe_image.version_block(block)
        self.assertEqual((file_version, product_version), (VERSION, VERSION))
        self.assertEqual((strings["FileVersion"], strings["ProductVersion"]), (VERSION, VERSION))

    def test_program_resources(self):
        ids = RESOURCE_IDS
        present = {(kind, name) for kind, name, _ in load("Nodewright.exe").resources()}
        expected = [(pe_image.RT_DIALOG, ids[name]) for name in ("IDD_ABOUTBOX", "IDD_SEEKWELL_DIALOG",
                                                                  "IDD_WAIT_DIALOG")]
        expected += [(pe_image.RT_GROUP_ICON, ids["IDR_MAINFRAME"]),
                     (pe_image.RT_STRING, ids["IDS_ABOUTBOX"] // 16 + 1)]
        for resource in expected:
            self.assertIn(resource, present)
        self.assertTrue(any(kind == pe_image.RT_ICON for kind, _ in present))


if __name__ == "__main__":
    unittest.main(verbosity=2)
