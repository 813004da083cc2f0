#!/usr/bin/env python3
"""Which Windows builds the scripts run on this machine, and what they say
when they cannot: tools/wine/windows-arch.sh and its users (testlan, nwwine,
./nw). The probe's own answer depends on the machine, so the cases check that
every choice agrees with it rather than expecting one answer."""

import os
import struct
import subprocess
import tempfile
import unittest

SOURCE_DIR = os.environ.get(
    "NW_SOURCE_DIR", os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
LIBRARY = os.path.join(SOURCE_DIR, "tools", "wine", "windows-arch.sh")


def shell(script, **env):
    """Runs script after sourcing the library; (status, stdout, stderr)."""
    environment = {key: value for key, value in os.environ.items() if key != "NW_WINDOWS_ARCH"}
    environment.update(env)
    done = subprocess.run(["bash", "-c", '. "$0"; ' + script, LIBRARY], capture_output=True, text=True,
                          env=environment, timeout=60)
    return done.returncode, done.stdout.strip(), done.stderr.strip()


PLAN = 'nw_windows_plan; status=$?; echo "$status|${nw_run_archs[*]}|${nw_not_run[x86]:-}|${nw_not_run[x64]:-}|$nw_plan_error"'


def plan(**env):
    status, out, _ = shell(PLAN, **env)
    fields = out.split("|")
    return dict(status=int(fields[0]), run=fields[1].split(), x86=fields[2], x64=fields[3], error=fields[4])


def runs_32_bit():
    status, _, _ = shell("nw_probe_x86")
    return status == 0


class Choice(unittest.TestCase):
    def test_unforced_runs_both_where_32_bit_code_runs_else_64_bit_with_a_reason(self):
        chosen = plan()
        self.assertEqual(chosen["status"], 0)
        if runs_32_bit():
            self.assertEqual(chosen["run"], ["x86", "x64"])
        else:
            self.assertEqual(chosen["run"], ["x64"])
            self.assertIn("32-bit code", chosen["x86"])

    def test_forced(self):
        cases = [
            # NW_WINDOWS_ARCH, runs, what the other build's reason or the error holds
            ("x64", ["x64"], "NW_WINDOWS_ARCH=x64"),
            ("x86", ["x86"] if runs_32_bit() else [], "NW_WINDOWS_ARCH=x86"),
            ("amd64", [], "takes x86 or x64"),
            ("x86 x64", [], "takes x86 or x64"),
            ("$(touch /tmp/nw-injected)", [], "takes x86 or x64"),
        ]
        for forced, runs, said in cases:
            with self.subTest(forced=forced):
                chosen = plan(NW_WINDOWS_ARCH=forced)
                self.assertEqual(chosen["run"], runs)
                self.assertEqual(chosen["status"] != 0, not runs)
                self.assertIn(said, chosen["x86"] + chosen["x64"] + chosen["error"])
        self.assertFalse(os.path.exists("/tmp/nw-injected"))

    def test_a_probe_that_cannot_decide_counts_as_no_and_says_so(self):
        status, out, _ = shell('nw_probe_x86; s=$?; echo "$nw_x86_reason"; exit $s', TMPDIR="/nonexistent/nodewright")
        self.assertNotEqual(status, 0)
        self.assertIn("cannot tell whether this machine runs 32-bit code", out)
        self.assertIn("counted as no", out)


class MissingWine(unittest.TestCase):
    """Wine absent or broken: one line that names it and how to install it."""

    def setUp(self):
        self.libdir = tempfile.mkdtemp(prefix="wine-")
        self.addCleanup(subprocess.run, ["rm", "-rf", self.libdir])

    def check(self, arch):
        return shell('nw_wine_check %s; s=$?; echo "$nw_wine_problem"; exit $s' % arch, NW_WINE_LIBDIR=self.libdir)

    def test_missing(self):
        for arch, install in [("x64", "apt-get install wine64"),
                              ("x86", "dpkg --add-architecture i386 && apt-get update && apt-get install wine32:i386")]:
            with self.subTest(arch):
                status, out, _ = self.check(arch)
                self.assertNotEqual(status, 0)
                self.assertIn("Wine for the %s build is missing" % arch, out)
                self.assertIn(install, out)

    def test_broken(self):
        for name in ("wine64", "wineserver64"):
            path = os.path.join(self.libdir, name)
            with open(path, "w") as f:
                f.write("#!/bin/sh\nexit 1\n")
            os.chmod(path, 0o755)
        status, out, _ = self.check("x64")
        self.assertNotEqual(status, 0)
        self.assertIn("does not start", out)
        self.assertIn("--reinstall", out)

    @unittest.skipUnless(os.geteuid() == 0, "testlan needs root")
    def test_testlan_says_it_in_one_line(self):
        done = subprocess.run([os.path.join(SOURCE_DIR, "tools", "testlan", "testlan"), "--arch", "x64", "--", "true"],
                              capture_output=True, text=True, timeout=60, env=dict(os.environ, NW_WINE_LIBDIR=self.libdir))
        self.assertEqual(done.returncode, 2)
        self.assertEqual(len(done.stderr.splitlines()), 1, done.stderr)
        self.assertIn("apt-get install wine64", done.stderr)


def pe_stub(folder, machine):
    """The first bytes of a PE image of that machine: all nwwine reads."""
    path = os.path.join(folder, "program-%x.exe" % machine)
    with open(path, "wb") as f:
        f.write(b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\0\0" + struct.pack("<H", machine) + bytes(32))
    return path


class Commands(unittest.TestCase):
    def test_refusals(self):
        folder = tempfile.mkdtemp(prefix="pe-")
        self.addCleanup(subprocess.run, ["rm", "-rf", folder])
        nwwine = os.path.join(SOURCE_DIR, "tools", "wine", "nwwine")
        cases = [
            # command, environment, status, what its one line says
            ([nwwine, "x.exe"], {}, 2, "inside tools/testlan/testlan"),
            ([nwwine, pe_stub(folder, 0x014C)], {"TESTLAN_WINE_ARCH": "x64"}, 2, "not a program of the x64 build"),
            ([nwwine, pe_stub(folder, 0x8664)], {"TESTLAN_WINE_ARCH": "x86"}, 2, "not a program of the x86 build"),
            ([os.path.join(SOURCE_DIR, "tools", "testlan", "testlan"), "--arch", "arm64", "--", "true"], {}, 2,
             "--arch takes x86 x64"),
            ([os.path.join(SOURCE_DIR, "nw"), "setup"], {"NW_WINDOWS_ARCH": "x32"}, 2, "takes x86 or x64"),
        ]
        for command, env, status, said in cases:
            with self.subTest(command[0]):
                environment = {key: value for key, value in os.environ.items() if key != "TESTLAN_WINE_ARCH"}
                done = subprocess.run(command, capture_output=True, text=True, timeout=60, env=dict(environment, **env))
                self.assertEqual(done.returncode, status, done.stderr)
                self.assertEqual(len(done.stderr.splitlines()), 1, done.stderr)
                self.assertIn(said, done.stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
