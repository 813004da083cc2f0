"""The firmware-tool launcher, end to end: Run starts
"./ExtensionTool/Reflash.exe" from the program's working folder with the
credentials and the ticked devices on its command line. A stand-in
Reflash.exe records the command line it got, byte for byte; simulated
devices on the device side fill the list.

    NW_BUILD_DIR=/path/to/win32/build NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan -- python3 tests/e2e/test_extension_tool.py
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures"))

import harness  # noqa: E402
import host_fixtures  # noqa: E402
from harness import IDC_DEVICE_LIST, IDC_PASSWORD, IDC_RUN, IDC_USER_ID  # noqa: E402
from host_fixtures import FAKE_REFLASH  # noqa: E402

TOOL = b"./ExtensionTool/Reflash.exe "
IP_COLUMN = 3


class ExtensionTool(host_fixtures.HostToolTest):
    def setUp(self):
        super().setUp()
        # Where the program looks for the tool: its current folder.
        os.mkdir(os.path.join(self.workdir, "ExtensionTool"))
        shutil.copyfile(FAKE_REFLASH, os.path.join(self.workdir, "ExtensionTool", "Reflash.exe"))

    def start(self, devices=()):
        self.start_traced_program(devices=devices)
        self.call("wait-rows", IDC_DEVICE_LIST, max(len(devices), 1))

    def run_tool(self):
        """Clicks Run once; returns the command line the tool got."""
        self.call("click", IDC_RUN)
        (line,) = self.records.wait("reflash", 1)
        return line

    def list_addresses(self):
        return [row["cells"][IP_COLUMN] for row in self.rows()]

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
        self.assertEqual(self.run_tool(), TOOL + b" -u " + user[:31].encode() + b" -p p w&d x")
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
        self.call("header-click", IDC_DEVICE_LIST, IP_COLUMN)
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


if __name__ == "__main__":
    harness.main()
