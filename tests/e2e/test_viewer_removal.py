"""Removal of the web-viewer components, end to end: the confirmation, the
two passes over the running processes, the ten regsvr32 commands (the
system's regsvr32, each waited for a while) and the fourteen files of the
system folder, checked against the program's debug traces (the program runs
under tracecap) and what the stand-in programs record. Each testlan run has
a Wine prefix of its own, so the system folder changed here is thrown away
with it.

    NW_BUILD_DIR=/path/to/windows/build NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan -- python3 tests/e2e/test_viewer_removal.py
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures"))

import harness  # noqa: E402
import host_fixtures  # noqa: E402
from harness import IDC_UNINSTALL, TITLE, from_ansi  # noqa: E402
from host_fixtures import FAKE_REGSVR32, TIME_LIMIT_S, system32, wait_until  # noqa: E402

CONTROLS = ["KorvoViewer3.ocx", "KorvoViewer2.ocx", "KorvoViewer3_FileUpload.ocx", "KorvoViewer2_FileUpload.ocx",
            "PadSteer.ocx", "SiteChart.ocx", "SlideRail.ocx", "SiteChart3.ocx", "GlyphKey.ocx", "MSFLXGRD.OCX"]
FILES = ["KorvoViewer3.ocx", "KorvoViewer2.ocx", "KorvoViewer2_FileUpload.ocx", "KorvoViewer3_FileUpload.ocx",
         "PadSteer.ocx", "SiteChart.ocx", "SlideRail.ocx", "SiteChart3.ocx", "GlyphKey.ocx", "FrameDecoder.dll",
         "MSFLXGRD.OCX", "ijl11.dll", "VB6STKIT.DLL", "LinkWatch.dll"]
# Files beside them whose names come close: they must survive every run.
NEIGHBOURS = ["KorvoViewer4.ocx", "KorvoViewer3.ocx.bak", "ijl11.dl", "xijl11.dll", "LinkWatch.dll.old"]

# Where the stand-in records that it ran: the system's regsvr32.
SYSTEM_REGSVR32 = "c:\\windows\\system32\\regsvr32.exe"

CONFIRMATION = "Internet explorer\uac00 \ubaa8\ub450 \uc885\ub8cc\ub429\ub2c8\ub2e4. " \
               "\uc9c4\ud589\ud558\uc2dc\uaca0\uc2b5\ub2c8\uae4c?"


def unregistered(control):
    return "Registry Delete : %s [ Success ]" % control


def not_found(control):
    return "Contol Name < %s > : The specified file was not found." % control


def deleted(name):
    return "File Delete : %s [ Success ]" % name


def delete_failed(name):
    return "File Delete : %s [ Fail ] " % name


def missing(name):
    return "File Not Exist : %s" % name


class ViewerRemoval(host_fixtures.HostToolTest):
    def setUp(self):
        super().setUp()
        self.system = system32()
        self.regsvr32 = os.path.join(self.system, "regsvr32.exe")
        self.saved_regsvr32 = os.path.join(self.workdir, "regsvr32.exe.saved")
        shutil.copyfile(self.regsvr32, self.saved_regsvr32)
        self.addCleanup(shutil.copyfile, self.saved_regsvr32, self.regsvr32)
        # The stand-in takes the system's place; Wine would start its own
        # built-in regsvr32 instead unless told otherwise.
        shutil.copyfile(FAKE_REGSVR32, self.regsvr32)
        self.env = {"WINEDLLOVERRIDES": "regsvr32.exe=n"}
        self.addCleanup(self.remove_test_files)

    def remove_test_files(self):
        for name in FILES + NEIGHBOURS:
            path = os.path.join(self.system, name)
            if os.path.isdir(path):
                shutil.rmtree(path)
            elif os.path.lexists(path):
                os.chmod(path, 0o644)
                os.remove(path)

    def put_files(self, names):
        for name in names:
            with open(os.path.join(self.system, name), "wb") as f:
                f.write(b"component " + name.encode())

    def present(self, name):
        return os.path.lexists(os.path.join(self.system, name))

    def confirm(self, button):
        """Clicks UnInstall, checks the confirmation and answers it."""
        self.call("click", IDC_UNINSTALL)
        box = self.message_box()
        self.assertEqual(box["caption"], "UnInstall")
        self.assertEqual([b["text"] for b in box["buttons"]], ["OK", "Cancel"])
        self.assertEqual(box["icon"], "none")
        # Read through the ANSI interface: on a system whose code page has no
        # Hangul the letters come as "?", never as code page 949's bytes
        # taken for other letters.
        codepage = "cp%d" % self.call("find")["codePage"]
        self.assertEqual(from_ansi(box["text"], codepage),
                         CONFIRMATION.encode(codepage, "replace").decode(codepage))
        self.answer(button)

    def run_removal(self):
        """Confirms, waits for the end of the run and checks its box."""
        self.confirm("OK")
        done = self.message_box(timeout_ms=TIME_LIMIT_S * 1000)
        self.assertEqual((done["caption"], done["text"], done["icon"]), (TITLE, "Completed!", "exclamation"))
        self.assertEqual([b["text"] for b in done["buttons"]], ["OK"])
        self.answer("OK")

    def test_nothing_present_runs_ten_commands_and_finds_no_file(self):
        self.start_traced_program(env=self.env)
        self.run_removal()
        self.assertEqual(self.traces.texts(), [unregistered(c) for c in CONTROLS] + [missing(f) for f in FILES])
        commands = self.records.wait("regsvr32", len(CONTROLS))
        self.assertEqual(sorted(commands), sorted(b"regsvr32 /s /u " + c.encode() for c in CONTROLS))
        self.close_program()

    def test_present_files_are_deleted_others_reported_and_neighbours_kept(self):
        present = ["KorvoViewer2.ocx", "KorvoViewer3_FileUpload.ocx", "SiteChart3.ocx", "ijl11.dll",
                   "LinkWatch.dll"]
        read_only = "FrameDecoder.dll"
        folder = "VB6STKIT.DLL"
        self.put_files(present + NEIGHBOURS + [read_only])
        os.chmod(os.path.join(self.system, read_only), 0o444)
        os.mkdir(os.path.join(self.system, folder))

        self.start_traced_program(env=self.env)
        self.run_removal()

        def outcome(name):
            if name in present:
                return deleted(name)
            if name in (read_only, folder):
                return delete_failed(name)
            return missing(name)
        self.assertEqual(self.traces.texts(), [unregistered(c) for c in CONTROLS] + [outcome(f) for f in FILES])
        self.assertEqual([f for f in FILES if self.present(f)], [read_only, folder])
        self.assertEqual([f for f in NEIGHBOURS if not self.present(f)], [])
        self.close_program()

    def test_browsers_ended_by_exact_module_name(self):
        # Each in a folder of its own: Wine's file names ignore case.
        first = self.start_browser(os.path.join(self.workdir, "b1", "iexplore.exe"))
        second = self.start_browser(os.path.join(self.workdir, "b2", "iexplore.exe"))
        other_case = self.start_browser(os.path.join(self.workdir, "b3", "Iexplore.exe"))
        self.start_traced_program(env=self.env)
        self.run_removal()

        for browser in (first, second):
            self.assertEqual(browser.wait_exit(TIME_LIMIT_S), 0, browser.path)
        # Both were ended before the box showed; a third one matched would
        # have gone with them.
        self.assertIsNone(other_case.wait_exit(3), "a process named Iexplore.exe was ended")
        # Neither pass failed: the components were still removed.
        self.assertEqual(self.traces.texts(), [unregistered(c) for c in CONTROLS] + [missing(f) for f in FILES])
        self.close_program()

    def test_cancel_ends_starts_and_deletes_nothing(self):
        browser = self.start_browser(os.path.join(self.workdir, "b1", "iexplore.exe"))
        self.put_files(["GlyphKey.ocx"])
        self.start_traced_program(env=self.env)
        self.confirm("Cancel")
        self.settle()
        self.assert_no_message_box()
        self.assertEqual(self.traces.texts(), [])
        self.assertEqual(self.records.get("regsvr32"), [])
        self.assertTrue(self.present("GlyphKey.ocx"))
        self.assertIsNone(browser.wait_exit(3), "the browser was ended")
        self.close_program()

    def test_regsvr32_is_the_systems_whatever_lies_beside_the_program(self):
        # Both come before the system folder in the search path.
        for folder in (self.program_dir, self.workdir):
            shutil.copyfile(FAKE_REGSVR32, os.path.join(folder, "regsvr32.exe"))
        self.start_traced_program(env=self.env)
        self.run_removal()
        self.assertEqual(self.traces.texts(), [unregistered(c) for c in CONTROLS] + [missing(f) for f in FILES])
        runs = self.records.runs("regsvr32_run")
        self.assertEqual(sorted(run[2].decode() for run in runs), sorted(CONTROLS))
        self.assertEqual({run[0].decode("latin-1").lower() for run in runs}, {SYSTEM_REGSVR32})
        # The command lines keep their text.
        commands = sorted(self.records.get("regsvr32"))
        self.assertEqual(commands, sorted(b"regsvr32 /s /u " + c.encode() for c in CONTROLS))
        self.close_program()

    def test_each_regsvr32_ends_before_the_files_are_deleted(self):
        # Each stand-in holds its component's file open for a second, as
        # unregistering holds the library it loads: a file deleted meanwhile
        # would fail, and one deleted before it started would be missing.
        self.put_files(FILES)
        self.start_traced_program(env=dict(self.env, NW_FAKE_REGSVR32_HOLD_MS="1000"))
        self.run_removal()
        runs = self.records.runs("regsvr32_run")
        self.assertEqual(sorted((run[2].decode(), run[3]) for run in runs), sorted((c, b"present") for c in CONTROLS))
        self.assertEqual(self.traces.texts(), [unregistered(c) for c in CONTROLS] + [deleted(f) for f in FILES])
        self.assertEqual([f for f in FILES if self.present(f)], [])
        self.close_program()

    def test_a_regsvr32_that_does_not_end_is_waited_for_a_while_only(self):
        # This one would hold its file for far longer than the program waits.
        self.put_files(["GlyphKey.ocx", "SiteChart.ocx"])
        self.start_traced_program(
            env=dict(self.env, NW_FAKE_REGSVR32_HOLD_NAME="GlyphKey.ocx", NW_FAKE_REGSVR32_HOLD_MS="25000"))
        self.run_removal()
        # The next components were unregistered and the files deleted while
        # it still ran: its file was still held.
        outcome = {"GlyphKey.ocx": delete_failed, "SiteChart.ocx": deleted}
        self.assertEqual(self.traces.texts(),
                         [unregistered(c) for c in CONTROLS] + [outcome.get(f, missing)(f) for f in FILES])
        self.assertEqual(len(self.records.get("regsvr32")), len(CONTROLS))
        self.close_program()

    def test_missing_regsvr32_is_traced_for_each_control_and_files_still_go(self):
        os.remove(self.regsvr32)
        self.put_files(["GlyphKey.ocx"])
        self.start_traced_program()
        self.run_removal()
        self.assertEqual(self.traces.texts(),
                         [not_found(c) for c in CONTROLS] +
                         [deleted(f) if f == "GlyphKey.ocx" else missing(f) for f in FILES])
        self.assertFalse(self.present("GlyphKey.ocx"))
        self.close_program()


if __name__ == "__main__":
    harness.main()
