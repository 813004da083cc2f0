#!/usr/bin/env python3
"""The web page and the list export, end to end. A stand-in browser,
registered for ".htm" files in the LAN's throwaway Wine prefix, records the
command line it is started with; the export's file is read from the
program's working folder.

    NW_BUILD_DIR=/path/to/windows/build NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan -- python3 tests/e2e/test_web_and_export.py
"""

import os
import subprocess

import harness
from harness import (IDC_DEVICE_LIST, IDC_IP_ADDRESS, IDC_PASSWORD, IDC_SAVE, IDC_SAVE_LIST, IDC_USER_ID,
                     IDC_WEB_PORT, wait_until, wine_path)
from harness import COLUMN_CHECK_BOX, COLUMN_IP_ADDRESS, COLUMN_MAC_ADDRESS, COLUMN_PRODUCT_NAME

BROWSER = os.path.join(harness.BUILD_DIR, "bin", "fixtures", "webbrowser.exe")
PAGE_CLASS = "NodewrightTest.Page"
EXPORT = "SearchIPList.txt"
TIME_LIMIT_S = 30
BAD_ADDRESS_TEXT = "The web page was not opened: the device's IP address is not a valid IPv4 address."
NO_BROWSER_TEXT = 'The web page was not opened: no program to open ".htm" files was found.'


def reg(*args):
    subprocess.run(harness.wine("reg", *args), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True, timeout=120)


def register_browser():
    """Makes the stand-in browser the program that opens ".htm" files."""
    command = '"%s" "%%1"' % wine_path(BROWSER)
    for key, value in [(r"HKCR\.htm", PAGE_CLASS), (r"HKCR\%s\shell\open\command" % PAGE_CLASS, command)]:
        reg("add", key, "/ve", "/d", value, "/f")


def unregister_browser():
    """Leaves ".htm" files with no program to open them (the LAN's prefix
    has none of its own)."""
    for key in [r"HKCR\.htm", r"HKCR\%s" % PAGE_CLASS]:
        reg("delete", key, "/f")


class WebPage(harness.ProgramTest):
    @classmethod
    def setUpClass(cls):
        if harness.in_test_lan():
            register_browser()

    def setUp(self):
        super().setUp()
        self.records = os.path.join(self.workdir, "records")
        os.mkdir(self.records)
        self.seen = set()

    def start(self, devices):
        self.start_simulator(devices=devices)
        self.start_program(env={"NW_FIXTURE_RECORDS": wine_path(self.records)})
        self.call("wait-rows", IDC_DEVICE_LIST, len(devices))

    def recorded(self):
        return {name for name in os.listdir(self.records) if name.endswith(".txt")}

    def opened(self, row, column=COLUMN_MAC_ADDRESS):
        """Double-clicks a cell; returns the address the browser got."""
        self.call("list-dblclick", IDC_DEVICE_LIST, row, column)
        (name,) = wait_until(lambda: self.recorded() - self.seen, TIME_LIMIT_S, "the browser to start")
        self.seen.add(name)
        with open(os.path.join(self.records, name), "rb") as f:
            command_line = f.read()
        program, _, address = command_line.partition(b" ")
        self.assertTrue(program.strip(b'"').lower().endswith(b"webbrowser.exe"), command_line)
        return address.decode("latin-1")

    def scratch_left(self):
        """Scratch folders or pages left in the prefix's users' folders."""
        users = os.path.join(os.environ["WINEPREFIX"], "drive_c", "users")
        left = []
        for folder, folders, files in os.walk(users):
            left += [os.path.join(folder, n) for n in folders + files
                     if n.startswith("Nodewright-") or n.lower() == "dummy.htm"]
        return left

    def test_double_click_opens_the_devices_page(self):
        # The operator's own "dummy.htm" beside the program.
        own_page = os.path.join(self.workdir, "dummy.htm")
        with open(own_page, "wb") as f:
            f.write(b"<p>the operator's own page</p>\r\n")
        self.start([dict(mac="00:1A:2B:00:04:01", ip="198.51.100.40", webPort=8080, https=0),
                    dict(mac="00:1A:2B:00:04:02", ip="198.51.100.41", webPort=8443, https=1)])
        plain, secure = self.row_of("198.51.100.40"), self.row_of("198.51.100.41")

        # Below the rows, with no device chosen since the search, and on a
        # check box, nothing opens; the next double-click shows it.
        self.call("list-click-empty", IDC_DEVICE_LIST, "double")
        self.call("list-dblclick", IDC_DEVICE_LIST, plain, COLUMN_CHECK_BOX)
        self.assertEqual(self.opened(plain), "http://198.51.100.40:8080")
        self.assertEqual(self.opened(secure, COLUMN_IP_ADDRESS), "https://198.51.100.41")
        self.assertEqual(len(self.recorded()), 2, "one browser per double-click on a text")

        self.assertTrue(os.path.isfile(own_page), "the operator's dummy.htm is still there")
        with open(own_page, "rb") as f:
            self.assertEqual(f.read(), b"<p>the operator's own page</p>\r\n")
        self.assertEqual(self.scratch_left(), [])

    def test_an_address_that_is_not_plain_ipv4_opens_nothing(self):
        hostile = [b"198.51.100.43 -new-window", b"-url 198.51.100.44", b" 198.51.100.45", b"198.51.100.300",
                   b"198.51.100", b"198.051.100.46", b"198.51.100.47\t", bytes(range(0x80, 0x9F))]
        self.start([dict(mac="00:1A:2B:00:04:%02X" % (0x20 + n), ip=ip, webPort=80)
                    for n, ip in enumerate(hostile)] + [dict(mac="00:1A:2B:00:04:2F", ip="198.51.100.48")])
        for n, ip in enumerate(hostile):
            with self.subTest(ip=ip):
                row = self.row_of("00:1A:2B:00:04:%02X" % (0x20 + n), COLUMN_MAC_ADDRESS)
                self.call("list-click", IDC_DEVICE_LIST, row, COLUMN_MAC_ADDRESS)
                self.call("list-dblclick", IDC_DEVICE_LIST, row, COLUMN_MAC_ADDRESS)
                box = self.expect_message(BAD_ADDRESS_TEXT)
                self.assertEqual(box["icon"], "exclamation")
        # A Save can store such a text too, typed by the operator.
        good = self.row_of("198.51.100.48")
        self.call("list-click", IDC_DEVICE_LIST, good, COLUMN_MAC_ADDRESS)
        for box, text in [(IDC_USER_ID, "admin"), (IDC_PASSWORD, "admin"), (IDC_IP_ADDRESS, "-x 198.51.100.60")]:
            self.call("type", box, text)
        self.call("click", IDC_SAVE)
        self.message_box()
        self.answer("OK")
        self.call("list-dblclick", IDC_DEVICE_LIST, good, COLUMN_MAC_ADDRESS)
        self.expect_message(BAD_ADDRESS_TEXT)
        # The browser was never started: the next page is the first.
        self.call("type", IDC_IP_ADDRESS, "198.51.100.61")
        self.call("click", IDC_SAVE)
        self.message_box()
        self.answer("OK")
        self.assertEqual(self.opened(good), "http://198.51.100.61:80")
        self.assertEqual(len(self.recorded()), 1, "one browser in all")

    def test_no_program_for_htm_files_opens_nothing_and_says_so(self):
        unregister_browser()
        self.addCleanup(register_browser)
        self.start([dict(mac="00:1A:2B:00:04:30", ip="198.51.100.49", webPort=8080)])
        self.call("list-click", IDC_DEVICE_LIST, 0, COLUMN_MAC_ADDRESS)
        self.call("list-dblclick", IDC_DEVICE_LIST, 0, COLUMN_MAC_ADDRESS)
        box = self.expect_message(NO_BROWSER_TEXT)
        self.assertEqual(box["icon"], "exclamation")
        self.assertEqual(self.scratch_left(), [])
        # With the program back, the same double-click opens the page.
        register_browser()
        self.assertEqual(self.opened(0), "http://198.51.100.49:8080")
        self.assertEqual(len(self.recorded()), 1)

    def test_after_save_the_page_is_the_saved_address_and_port(self):
        self.start([dict(mac="00:1A:2B:00:04:03", ip="198.51.100.42", webPort=8080)])
        self.call("list-click", IDC_DEVICE_LIST, 0, COLUMN_MAC_ADDRESS)
        self.call("type", IDC_USER_ID, "admin")
        self.call("type", IDC_PASSWORD, "admin")
        self.call("type", IDC_IP_ADDRESS, "198.51.100.60")
        self.call("click", IDC_SAVE)
        self.expect_message("Apply")
        # The row keeps the address of the search.
        self.assertEqual(self.rows()[0]["cells"][COLUMN_IP_ADDRESS], "198.51.100.42")
        self.assertEqual(self.opened(0), "http://198.51.100.60:8080")

        self.call("type", IDC_WEB_PORT, "8090")
        self.call("click", IDC_SAVE)
        self.expect_message("Apply")
        self.assertEqual(self.opened(0), "http://198.51.100.60:8090")


class Export(harness.ProgramTest):
    def export(self):
        # The button is never shown: its command comes as the dialog would
        # receive it.
        self.call("command", IDC_SAVE_LIST)

    def export_path(self):
        return os.path.join(self.workdir, EXPORT)

    def exported(self):
        try:
            with open(self.export_path(), "rb") as f:
                return f.read()
        except OSError:
            return None

    def wait_export(self, content):
        wait_until(lambda: self.exported() == content, TIME_LIMIT_S, "%s to hold %r (it holds %r)"
                   % (EXPORT, content, self.exported()))

    def shown_lines(self):
        return b"".join(b"[%s] %s\t%s\r\n" % tuple(row["cells"][c].encode("latin-1")
                                                    for c in (COLUMN_PRODUCT_NAME, COLUMN_MAC_ADDRESS, COLUMN_IP_ADDRESS))
                        for row in self.rows())

    def test_rows_in_display_order_and_a_second_export_replaces_the_first(self):
        # Answering in an order that the sort by address changes.
        self.start_simulator(devices=[dict(mac="00:1A:2B:00:04:1%d" % n, ip="198.51.100.%d" % ip, product=product)
                                      for n, (ip, product) in enumerate([(30, "Cam Thirty"), (10, "Cam Ten"),
                                                                         (20, "Cam Twenty")])])
        self.start_program()
        self.call("wait-rows", IDC_DEVICE_LIST, 3)
        arrival = self.shown_lines()
        self.assertEqual(arrival.count(b"\r\n"), 3)
        self.export()
        self.wait_export(arrival)

        self.call("header-click", IDC_DEVICE_LIST, COLUMN_IP_ADDRESS)
        sorted_lines = self.shown_lines()
        self.assertEqual(sorted_lines, b"[Cam Ten] 00:1A:2B:00:04:11\t198.51.100.10\r\n"
                                       b"[Cam Twenty] 00:1A:2B:00:04:12\t198.51.100.20\r\n"
                                       b"[Cam Thirty] 00:1A:2B:00:04:10\t198.51.100.30\r\n")
        self.assertNotEqual(sorted_lines, arrival)
        self.export()
        self.wait_export(sorted_lines)
        self.assert_no_message_box()

    def test_empty_list_and_a_file_that_cannot_be_opened(self):
        with open(self.export_path(), "wb") as f:
            f.write(b"[old] list\r\n")
        self.start_program()  # no device answers
        self.assertEqual(self.rows(), [])
        self.export()
        self.wait_export(b"")

        # A folder of that name: nothing to write through.
        os.remove(self.export_path())
        os.mkdir(self.export_path())
        with open(os.path.join(self.export_path(), "inside.txt"), "wb") as f:
            f.write(b"kept")
        self.export()
        box = self.expect_message('Failed. "SearchIPList.txt" could not be written.')
        self.assertEqual(box["icon"], "exclamation")
        self.assertEqual(os.listdir(self.export_path()), ["inside.txt"])
        with open(os.path.join(self.export_path(), "inside.txt"), "rb") as f:
            self.assertEqual(f.read(), b"kept")


if __name__ == "__main__":
    harness.main()
