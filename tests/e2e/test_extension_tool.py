"""The firmware-tool launcher, end to end: Run starts ExtensionTool\\Reflash.exe
from the program's own folder, whatever the current folder, with the command
line "./ExtensionTool/Reflash.exe" and the credentials and the ticked
devices, each text one argument. A stand-in Reflash.exe records the command
line it got, byte for byte, and where it ran with the arguments it read;
simulated devices on the device side fill the list.

    NW_BUILD_DIR=/path/to/windows/build NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan -- python3 tests/e2e/test_extension_tool.py
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures"))

import harness  # noqa: E402
import host_fixtures  # noqa: E402
from harness import (IDC_DEVICE_LIST, IDC_IP_ADDRESS, IDC_PASSWORD, IDC_RUN, IDC_SAVE, IDC_USER_ID,  # noqa: E402
                     IDC_WEB_PORT, wine_path)
from harness import COLUMN_IP_ADDRESS, COLUMN_MAC_ADDRESS  # noqa: E402
from host_fixtures import FAKE_REFLASH  # noqa: E402

TOOL = b"./ExtensionTool/Reflash.exe "


def put_tool(folder, program=FAKE_REFLASH):
    os.makedirs(os.path.join(folder, "ExtensionTool"), exist_ok=True)
    shutil.copyfile(program, os.path.join(folder, "ExtensionTool", "Reflash.exe"))


class ExtensionTool(host_fixtures.HostToolTest):
    def setUp(self):
        super().setUp()
        # Where the program looks for the tool: beside its executable.
        put_tool(self.program_dir)

    def start(self, devices=()):
        self.start_traced_program(devices=devices)
        self.call("wait-rows", IDC_DEVICE_LIST, max(len(devices), 1))

    def run_tool(self):
        """Clicks Run once; returns the command line the tool got."""
        self.call("click", IDC_RUN)
        (line,) = self.records.wait("reflash", 1)
        return line

    def run_tool_arguments(self):
        """Clicks Run once; returns the command line the tool got and its
        run record: [executable, current folder, argument, ...]."""
        line = self.run_tool()
        (run,) = self.records.runs("reflash_run")
        return line, run

    def list_addresses(self):
        return [row["cells"][COLUMN_IP_ADDRESS] for row in self.rows()]

    def test_nothing_typed_nothing_ticked_starts_the_bare_tool(self):
        self.start()
        self.assertEqual(self.run_tool(), TOOL)
        self.close_program()

    def test_user_id_and_one_ticked_row(self):
        self.start([dict(ip="198.51.100.40", webPort=80, firmware="1.2.3_20220807"),
                    dict(ip="198.51.100.41", webPort=81, firmware="9.9.9_20220807")])
        row = self.list_addresses().index("198.51.100.40")
        self.call("type", IDC_USER_ID, "admin")
        self.call("list-check", IDC_DEVICE_LIST, row, "on")
        self.assertEqual(self.run_tool(), TOOL + b" -u admin -i 198.51.100.40&80&1.2.3_20220807")
        self.close_program()

    def test_long_user_id_is_cut_and_password_passes_as_typed(self):
        self.start()
        user = "u234567890" * 4
        self.call("type", IDC_USER_ID, user)
        self.call("type", IDC_PASSWORD, "p w&d x")
        # With its blanks, the password is quoted: one argument.
        self.assertEqual(self.run_tool(), TOOL + b" -u " + user[:31].encode() + b' -p "p w&d x"')
        self.close_program()

    def test_ticked_rows_follow_the_list_order_after_a_sort(self):
        # Given in an order that no sort by address keeps, so that the sort
        # must move rows and records together; one web port at the top of
        # its range.
        devices = {
            "198.51.100.20": dict(webPort=8020, firmware="2.0.0_20230101"),
            "198.51.100.30": dict(webPort=65535, firmware="3.0.0_20230101"),
            "198.51.100.10": dict(webPort=8010, firmware="1.0.0_20230101"),
        }
        self.start([dict(ip=ip, **keys) for ip, keys in devices.items()])
        before = self.list_addresses()
        self.call("header-click", IDC_DEVICE_LIST, COLUMN_IP_ADDRESS)
        after = self.list_addresses()
        self.assertIn(after, (sorted(devices), sorted(devices, reverse=True)))
        self.assertNotEqual(after, before)
        for row in range(len(devices)):
            self.call("list-check", IDC_DEVICE_LIST, row, "on")

        items = b"".join(b" -i %s&%d&%s" % (ip.encode(), devices[ip]["webPort"], devices[ip]["firmware"].encode())
                         for ip in after)
        self.assertEqual(self.run_tool(), TOOL + items)
        self.assertIn(b"198.51.100.30&65535&", items)
        self.close_program()

    def test_hostile_texts_reach_the_tool_as_one_argument_each(self):
        # A firmware version that would add a device of its own, beside an
        # ordinary one; credentials with quotes and backslashes.
        hostile = "1 -i 203.0.113.5&80&x"
        self.start([dict(ip="198.51.100.50", webPort=80, firmware=hostile),
                    dict(ip="198.51.100.51", webPort=81, firmware="2.0.0_20230101")])
        user = 'ad "min" -p x'
        password = 'p\\" -i 203.0.113.6&80&y \\'
        self.call("type", IDC_USER_ID, user)
        self.call("type", IDC_PASSWORD, password)
        for address in ("198.51.100.50", "198.51.100.51"):
            self.call("list-check", IDC_DEVICE_LIST, self.row_of(address), "on")

        line, run = self.run_tool_arguments()
        items = {"198.51.100.50": "198.51.100.50&80&" + hostile, "198.51.100.51": "198.51.100.51&81&2.0.0_20230101"}
        expected = [b"./ExtensionTool/Reflash.exe", b"-u", user.encode(), b"-p", password.encode()]
        for address in self.list_addresses():
            expected += [b"-i", items[address].encode()]
        self.assertEqual(run[2:], expected, line)
        self.assertEqual(run[2:].count(b"-i"), 2)
        # The ordinary device's item stays as it always was.
        self.assertIn(b" -i 198.51.100.51&81&2.0.0_20230101", line)
        self.close_program()

    def test_the_tool_beside_the_program_runs_whatever_the_current_folder(self):
        # A tool in the current folder is not the one meant.
        put_tool(self.workdir, host_fixtures.FAKE_REGSVR32)
        self.start()
        line, run = self.run_tool_arguments()
        self.assertEqual(line, TOOL)
        # Wine's file names ignore case.
        executable, folder = (f.decode("latin-1").lower() for f in run[:2])
        tool = wine_path(os.path.join(self.program_dir, "ExtensionTool", "Reflash.exe"))
        self.assertEqual(executable, tool.lower())
        # It runs in the program's folder, where its own name for itself leads.
        self.assertEqual(folder.rstrip("\\"), wine_path(self.program_dir).lower())
        self.assertEqual(self.records.get("regsvr32"), [])
        self.close_program()

    def test_a_tool_that_cannot_start_is_reported(self):
        tool = os.path.join(self.program_dir, "ExtensionTool", "Reflash.exe")
        # A tool in the current folder is not the one meant, even when that
        # one is missing.
        put_tool(self.workdir)
        os.remove(tool)
        self.start()
        self.call("click", IDC_RUN)
        self.expect_message("The firmware tool was not found:\n" + wine_path(tool))

        with open(tool, "wb") as f:
            f.write(b"not a program\r\n")
        self.call("click", IDC_RUN)
        self.expect_message("The firmware tool could not be started:\n" + wine_path(tool))
        self.settle()
        self.assertEqual(self.records.get("reflash"), [])
        self.close_program()

    def test_run_after_a_save_takes_the_listed_address(self):
        # A Save stores the new address and web port in the table; the list
        # still shows the address the search found, and the item takes that.
        self.start([dict(ip="198.51.100.60", webPort=80, firmware="6.0.0_20230101")])
        row = self.row_of("198.51.100.60")
        self.call("list-click", IDC_DEVICE_LIST, row, COLUMN_MAC_ADDRESS)
        self.call("type", IDC_IP_ADDRESS, "198.51.100.99")
        self.call("type", IDC_WEB_PORT, "8080")
        self.call("type", IDC_USER_ID, "admin")
        self.call("type", IDC_PASSWORD, "admin")
        self.call("click", IDC_SAVE)
        self.expect_message("Apply")
        self.assertEqual(self.list_addresses(), ["198.51.100.60"])

        self.call("list-check", IDC_DEVICE_LIST, row, "on")
        self.assertEqual(self.run_tool(), TOOL + b" -u admin -p admin -i 198.51.100.60&8080&6.0.0_20230101")
        self.close_program()


if __name__ == "__main__":
    harness.main()
