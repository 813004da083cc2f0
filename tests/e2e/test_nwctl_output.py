#!/usr/bin/env python3
"""nwctl's output end to end: nothing it writes is lost in silence, and
nothing it does not own is overwritten. Standard output onto a full device
and a full file system, report -o onto what is not a regular file, an audit
log that cannot be created. Runs as root in the private test LAN (two
adapters, as test_nwctl.py):

    tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_nwctl_output.py
"""

import os
import socket
import stat
import subprocess
import unittest

from simulator import SEARCH, SET_CONFIG
from test_nwctl import NETWORK, OK, PLAN_FAILED, USAGE, WINE, NwctlTest, csv_text, mac

FULL = "cannot write standard output: No space left on device"


class OutputTest(NwctlTest):
    def run_into(self, target, *args, password=None):
        """Runs nwctl to its end with standard output on `target`."""
        env = dict(os.environ)
        env.pop("NW_PASSWORD", None)
        if password is not None:
            env["NW_PASSWORD"] = password
        with open(target, "wb") as out:
            done = subprocess.run(self.command(*args), stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.PIPE,
                                  env=env, cwd=self.workdir, timeout=120)
        return done.returncode, done.stderr.decode("latin-1")

    def with_mount(self, mount, *args, password=None):
        """Runs `mount` (sh, with the working folder as $0), then nwctl with
        `args`, in a mount namespace of their own: what `mount` mounts is
        gone when they end. The run's stdout is "status N" for nwctl's
        status; `mount` may send nwctl's own elsewhere."""
        env = dict(os.environ)
        env.pop("NW_PASSWORD", None)
        if password is not None:
            env["NW_PASSWORD"] = password
        script = 'exec 3>&1\n' + mount + ' || exit 99\n"$@"\necho "status $?" >&3'
        return subprocess.run(["unshare", "--mount", "--propagation", "private", "sh", "-c", script, self.workdir,
                               *self.command(*args)], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, env=env, cwd=self.workdir, timeout=120, text=True)


@unittest.skipIf(WINE, "the same code under Wine as natively")
class StandardOutput(OutputTest):
    def test_every_command_says_when_its_output_could_not_be_written(self):
        self.start_simulator(count=3)
        plan = self.write("plan.csv", csv_text(["mac", "web_port"], [[mac(1), 81]]))
        expected = self.write("expected.csv", csv_text(["mac"], [[mac(n)] for n in (1, 2, 3)]))
        cases = [
            ["search", "--rounds", 1, "--format", "csv"],
            ["search", "--rounds", 1, "--format", "json"],
            ["search", "--rounds", 1],
            ["adapters"],
            ["plan", "--assign", "198.51.100.30", "--rounds", 1],
            ["plan", plan, "--rounds", 1],
            ["check", expected, "--rounds", 1],
            ["probe", "198.51.100.100", "198.51.100.40"],
            # watch ends at its first pass that cannot be written.
            ["watch", "--interval", 1, "--format", "lines"],
            ["watch", "--interval", 1, "--format", "jsonl"],
            ["--help"],
            ["search", "--help"],
            ["--version"],
        ]
        for args in cases:
            with self.subTest(args=args):
                status, stderr = self.run_into("/dev/full", *args)
                self.assertEqual(status, NETWORK, stderr)
                self.assertIn("nwctl: %s\n" % FULL, stderr)
                self.assertEqual(stderr.count("standard output"), 1, "said once: " + stderr)
        # The same commands onto a file that takes their output succeed.
        status, stderr = self.run_into(os.path.join(self.workdir, "adapters.txt"), "adapters")
        self.assertEqual((status, stderr), (OK, ""))

    def test_a_plan_onto_a_full_file_system_is_no_success(self):
        self.start_simulator(count=3)
        os.mkdir(os.path.join(self.workdir, "small"))
        # A file system of one page, filled before nwctl writes to it.
        done = self.with_mount('cd "$0" && mount -t tmpfs -o size=4k tmpfs small && '
                               '{ head -c 65536 /dev/zero > small/filler 2>/dev/null; true; } && exec > small/plan.csv',
                               "plan", "--assign", "198.51.100.30", "--rounds", 1)
        self.assertEqual(done.stdout, "status %d\n" % NETWORK, done)
        self.assertIn("nwctl: %s\n" % FULL, done.stderr)
        self.assertEqual(os.listdir(os.path.join(self.workdir, "small")), [], "the file system was the run's own")

    def test_an_audit_log_that_cannot_be_created_stops_the_apply_before_anything_is_sent(self):
        simulator = self.start_simulator(count=1)
        folder = os.path.join(self.workdir, "plans")
        os.mkdir(folder)
        plan = os.path.join(folder, "plan.csv")
        with open(plan, "w") as f:
            f.write(csv_text(["mac", "web_port"], [[mac(1), 81]]))
        # Read-only for everyone, root as well, which ignores permissions.
        done = self.with_mount('mount --bind -o ro "$0/plans" "$0/plans"', "plan", plan, "--apply", "--yes",
                               "--user", "admin", "--rounds", 1, password="admin")
        self.assertEqual(done.stdout.splitlines()[-1], "status %d" % PLAN_FAILED, done)
        self.assertNotIn("Apply", done.stdout)
        self.assertRegex(done.stderr, r"nwctl: cannot write the audit log %s/plan-\d{8}T\d{6}Z\.audit\.jsonl: "
                                      r"Read-only file system\. Nothing was sent\n" % folder)
        self.assertEqual(simulator.received(command=SET_CONFIG), [])
        self.assertEqual(os.listdir(folder), ["plan.csv"])


@unittest.skipIf(WINE, "Linux's kinds of file")
class ReportTarget(OutputTest):
    """report -o writes a regular file, or standard output for -; anything
    else that holds the name is refused before the search and left as it
    was."""

    def test_what_is_not_a_regular_file_is_refused_and_left_as_it_was(self):
        simulator = self.start_simulator(count=1)
        with open(os.path.join(self.workdir, "kept.html"), "w") as f:
            f.write("kept")
        os.symlink("kept.html", os.path.join(self.workdir, "link.html"))
        os.mkfifo(os.path.join(self.workdir, "pipe.html"))
        listening = socket.socket(socket.AF_UNIX)
        listening.bind(os.path.join(self.workdir, "socket.html"))
        self.addCleanup(listening.close)
        os.mkdir(os.path.join(self.workdir, "folder"))
        # A device node of the test's own, as /dev/full: the system's must
        # not be at stake when the rule fails.
        os.mknod(os.path.join(self.workdir, "full"), stat.S_IFCHR | 0o666, os.makedev(1, 7))
        cases = [
            (self.path("full"), "cannot write %s: it is a device, not a regular file" % self.path("full")),
            (self.path("link.html"), "cannot write %s: it is a symbolic link to kept.html, not a regular file" %
             self.path("link.html")),
            (self.path("pipe.html"), "it is a named pipe, not a regular file"),
            (self.path("socket.html"), "it is a socket, not a regular file"),
            (self.path("folder"), "it is a folder, not a regular file"),
            ("/proc/version", "cannot write /proc/version: it is read-only"),
        ]
        kinds = {path: os.lstat(path).st_mode for path, _ in cases}
        for path, says in cases:
            with self.subTest(path=path):
                # A pipe opened for writing would wait for a reader: a
                # timeout ends the run that does.
                run = self.nwctl("report", "-o", path, "--rounds", 1, timeout=30)
                self.assert_run(run, USAGE, "", says)
                self.assertEqual(run.stderr.count("\n"), 1, run)
                self.assertNotIn("No such file", run.stderr)
        self.assertEqual({path: os.lstat(path).st_mode for path, _ in cases}, kinds, "each is what it was")
        with open(os.path.join(self.workdir, "kept.html")) as f:
            self.assertEqual(f.read(), "kept")
        self.assertEqual([f for f in os.listdir(self.workdir) if ".part-" in f], [], "no new file left behind")
        self.assertEqual(simulator.received(command=SEARCH), [], "refused before the search")

        # A regular file is replaced, as before, and its name says where.
        run = self.nwctl("report", "-o", self.path("kept.html"), "--rounds", 1)
        self.assert_run(run, OK, "", "nwctl: report written to %s: 1 device," % self.path("kept.html"))
        with open(os.path.join(self.workdir, "kept.html")) as f:
            self.assertIn("<!DOCTYPE html>", f.read())

    def test_a_dash_writes_the_report_on_standard_output(self):
        self.start_simulator(count=1)
        run = self.nwctl("report", "-o", "-", "--format", "json", "--rounds", 1)
        self.assert_run(run, OK, stderr_has="nwctl: report written to standard output: 1 device,")
        self.assertIn('"site"', run.stdout)
        self.assertFalse(os.path.exists(os.path.join(self.workdir, "-")))
        status, stderr = self.run_into("/dev/full", "report", "-o", "-", "--rounds", 1)
        self.assertEqual(status, NETWORK, stderr)
        self.assertIn("nwctl: %s\n" % FULL, stderr)
        self.assertNotIn("report written", stderr)


if __name__ == "__main__":
    unittest.main(verbosity=2)
