#!/usr/bin/env python3
"""Discovery as the operator and the devices see it: the search requests on
the wire, the rows the replies bring, which replies count, what a search
locks and resets, and closing the window while a search runs."""

import collections
import time

import harness
from harness import (IDC_DEVICE_INFO, IDC_DEVICE_LIST, IDC_DNS, IDC_EXTENSION_TOOL, IDC_GATEWAY, IDC_IP_ADDRESS,
                     IDC_MODEL_NAME, IDC_PASSWORD, IDC_RADIO_DHCP, IDC_RADIO_STATIC, IDC_RUN, IDC_SEARCH,
                     IDC_SUBNET_MASK, IDC_USER_ID, OPERATOR_IP, PORT_BOXES, SEARCH_LOCKED)
from harness import COLUMN_IP_ADDRESS, COLUMN_MAC_ADDRESS, COLUMN_NO, COLUMN_PRODUCT_NAME
from simulator import RECORD_SIZE, SEARCH, SEARCH_REPLY

ADDRESS_BOXES = [IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS]
# Controls a search leaves as they are (the hidden File Save List aside).
SEARCH_FREE = [IDC_RADIO_DHCP, IDC_EXTENSION_TOOL, IDC_RUN, IDC_MODEL_NAME, IDC_DEVICE_INFO]

SC_CLOSE = 0xF060


def device(n, **keys):
    """Simulated device n (from 1) with every listed text set, plus keys."""
    settings = {"mac": "00:1A:2B:00:01:%02X" % n, "ip": "198.51.100.%d" % (100 + n), "product": "Cam-%d" % n,
                "maker": "Maker %d" % n, "name": "name-%d" % n, "firmware": "V1.2.3_20240101"}
    settings.update(keys)
    return settings


def shown(settings, date_ok):
    """The texts row cells 2 to 7 show for a device's settings."""
    def text(key):
        value = settings[key]
        value = value if isinstance(value, bytes) else value.encode("latin-1")
        return value.split(b"\0", 1)[0].decode("latin-1")
    return [text("mac"), text("ip"), text("product"), text("maker"), text("firmware"),
            text("name") if date_ok else "N/A"]


# Firmware version -> whether the device name shows (the date in its last
# "_"-separated part, within its first 32 characters, is 20220807 or later).
FIRMWARE_DATES = [
    (b"V1.2.3_20220807", True),
    (b"V1.2.3_20220806", False),
    (b"V1.2.3_build_20220807", True),
    (b"V1.2.3_20220807_beta", False),
    (b"20220807", False),
    (b"_20220807", False),
    (b"\0", False),
    (b"____", False),
    (b"V1_ 20220807", True),
    (b"V1_+20220807", True),
    (b"V1_2022-08-07", False),
    (b"V1_-20220807", False),
    (b"V1_99999999999", True),  # saturates at the top of the range
    (b"V1_" + b"x" * 20 + b"_20220807", True),  # exactly 32 characters
    (b"V1_" + b"x" * 21 + b"_20220807", False),  # the 32nd character cuts it to 2022080
    (b"V1_20220807" + b"_" * 21 + b"beta", True),  # 36, no NUL: "beta" lies past the 32nd
]

# Devices whose texts run to the ends of their fields, or are empty.
HOSTILE = [
    ({"mac": b"ABCDEFGHIJKLMNOPQRSTUVWX", "product": b"P" * 32}, True),  # MAC without NUL, then the product
    ({"product": b"Q" * 32, "maker": b"M" * 32, "name": b"N" * 32, "ip": b"198.51.100.209" + b"9" * 18,
      "firmware": b"V2_20230101" + b"_" * 25}, True),
    ({"product": b"\0"}, True),
    ({"product": b"Cam\xe9ra, \"quoted\"", "maker": b"Make,r"}, True),
]


class StartupSearch(harness.ProgramTest):
    def test_lists_each_device_once_in_arrival_order(self):
        cases = HOSTILE + [({"firmware": firmware}, ok) for firmware, ok in FIRMWARE_DATES]
        devices = [device(n, **keys) for n, (keys, _) in enumerate(cases, 1)]
        simulator = self.start_simulator(devices=devices, options=["--spread", "2"])
        self.start_program()

        listing = self.call("list", IDC_DEVICE_LIST)
        self.assertEqual(listing["columns"], ["", "NO", "MAC ADDRESS", "IP ADDRESS", "PRODUCT NAME", "MANUFACTURER",
                                              "FIRMWAREVERSION", "DEVICE NAME"])
        self.assertEqual(listing["count"], len(devices))
        # The devices first answered in the order given.
        answered = list(dict.fromkeys(e["device"] for e in simulator.sent(command=SEARCH_REPLY)))
        self.assertEqual(answered, list(range(len(devices))))
        for row, settings, (_, ok) in zip(listing["rows"], devices, cases):
            self.assertEqual(row["cells"], ["", str(row["index"] + 1)] + shown(settings, ok),
                             "row %d, firmware %r" % (row["index"], settings["firmware"]))
            self.assertFalse(row["checked"])

    def test_five_search_requests_one_second_apart(self):
        simulator = self.start_simulator(count=1)
        self.start_program()
        self.sync_simulator(simulator)

        from_program = [e for e in simulator.received() if e["peer"] == OPERATOR_IP and e["peer_port"] == 40013]
        self.assertEqual(len(from_program), 5, "the first search's datagrams")
        request = "03" + "00" * (RECORD_SIZE - 1)
        for datagram in from_program:
            self.assertEqual((datagram["length"], datagram["hex"]), (RECORD_SIZE, request))
            self.assertEqual(datagram["local_address"], "255.255.255.255", "a broadcast")
        times = [e["mono"] for e in from_program]
        gaps = [later - earlier for earlier, later in zip(times, times[1:])]
        for gap in gaps:
            self.assertTrue(0.7 <= gap <= 1.5, "requests about a second apart: %s" % gaps)


class Replies(harness.ProgramTest):
    def test_which_replies_make_rows(self):
        mac = "00:1A:2B:00:01:01"
        devices = [
            device(1, mac=mac, ip="198.51.100.101"),  # answers all five searches
            device(2, repeat=3),  # answers every search three times
            device(3, mac=mac, ip="198.51.100.103"),  # same MAC, another IP
            device(4, ip="198.51.100.101"),  # same IP, another MAC
            device(5, mac=mac.lower(), ip="198.51.100.101"),  # MAC in other letter case
            device(6, mac=b"\0"),  # no MAC text: never a repeat
            device(7, ip=b"\0"),  # no IP text: never a repeat
            device(8, delay=7),  # answers after the search has ended
        ]
        simulator = self.start_simulator(devices=devices, options=["--spread", "0.5"])
        self.start_program(wait_search=False)
        self.call("wait-window", "wait", "visible", "--timeout", harness.SEARCH_LIMIT_MS)

        # Datagrams only the one-shot sender makes, while the search runs.
        def send(**fields):
            simulator.send(OPERATOR_IP, **fields)
        send(size=372, macAddress="LONG-372", ipAddress="198.51.100.72")
        send(size=1000, macAddress="LONG-1000", ipAddress="198.51.100.73")
        send(size=0)
        for command in [0, 1, 2, 3, 6, 7, 8, 0x104, 0xFFFFFFFF]:
            send(command=command, macAddress="COMMAND-%d" % command, ipAddress="198.51.100.74")
        send(size=110, macAddress="SHORT-110", productName="ABCDEFGHIJKLMNOPQRSTUVWXYZ", ipAddress="198.51.100.75")
        send(size=4)
        send(macAddress="EXACT-371", ipAddress="198.51.100.76", productName="exact")
        # The last of them is a row only if it came while the search ran.
        self.assertTrue(self.call("describe", "wait")["visible"], "the search still ran after the sends")
        self.wait_search_done()

        late = 7
        simulator.wait_sent(5, timeout=30, command=SEARCH_REPLY, device=late)
        self.sync_replies()

        rows = self.rows()
        self.assertEqual([r["cells"][COLUMN_NO] for r in rows], [str(n) for n in range(1, len(rows) + 1)])
        pairs = dict(collections.Counter((r["cells"][COLUMN_MAC_ADDRESS], r["cells"][COLUMN_IP_ADDRESS]) for r in rows))
        expected = {
            (mac, "198.51.100.101"): 1,
            ("00:1A:2B:00:01:02", "198.51.100.102"): 1,
            (mac, "198.51.100.103"): 1,
            ("00:1A:2B:00:01:04", "198.51.100.101"): 1,
            (mac.lower(), "198.51.100.101"): 1,
            ("", "198.51.100.106"): 5,
            ("00:1A:2B:00:01:07", ""): 5,
            ("SHORT-110", ""): 1,
            ("", ""): 1,
            ("EXACT-371", "198.51.100.76"): 1,
        }
        self.assertEqual(pairs, expected)
        by_mac = {r["cells"][COLUMN_MAC_ADDRESS]: r["cells"] for r in rows}
        self.assertEqual(by_mac["SHORT-110"][COLUMN_PRODUCT_NAME:], ["ABCDEFGHIJKLMN", "", "", "N/A"], "missing bytes read as zero")
        self.assertEqual([r["cells"][COLUMN_MAC_ADDRESS:] for r in rows if r["cells"][COLUMN_MAC_ADDRESS:COLUMN_PRODUCT_NAME] == ["", ""]], [[""] * 5 + ["N/A"]])


class SearchStates(harness.ProgramTest):
    def describe_while_searching(self):
        """The main window's controls by id, read while the wait box shows."""
        self.call("wait-state", harness.IDC_ADAPTER, "disabled", "--timeout", harness.SEARCH_LIMIT_MS)
        controls = {c["id"]: c for c in self.call("describe")["controls"]}
        self.assertTrue(self.call("describe", "wait")["visible"], "read while the wait box showed")
        return controls

    def test_search_locks_ignores_a_second_search_and_resets_the_panel(self):
        devices = [device(n, answers=1) for n in (1, 2, 3)]
        devices[1].update(dhcp=1, mask="255.255.0.0", gateway="198.51.100.250", dns="198.51.100.251",
                          webPort=8081, controlPort=8082, videoPort=8083, audioTransmitPort=8084,
                          audioReceivePort=8085)
        simulator = self.start_simulator(devices=devices)
        self.start_program(wait_search=False)
        self.call("wait-window", "wait", "visible", "--timeout", harness.SEARCH_LIMIT_MS)
        self.call("wait-rows", IDC_DEVICE_LIST, 3, "--timeout", harness.SEARCH_LIMIT_MS)
        controls = self.describe_while_searching()
        for cid in SEARCH_LOCKED:
            self.assertFalse(controls[cid]["enabled"], "control %d during a search" % cid)
        for cid in SEARCH_FREE:
            self.assertTrue(controls[cid]["enabled"], "control %d during a search" % cid)

        # The devices answer only the first request: a list emptied by a
        # second search would stay empty.
        before = self.rows()
        self.call("command", IDC_SEARCH)
        self.assertEqual(self.rows(), before)
        self.call("click", IDC_RADIO_DHCP)
        self.call("wait-state", IDC_RADIO_DHCP, "checked")
        self.wait_search_done()
        self.sync_simulator(simulator)
        self.assertEqual(len(simulator.received(command=SEARCH)), 5)
        self.assertEqual(self.rows(), before)
        controls = {c["id"]: c for c in self.call("describe")["controls"]}
        # DHCP chosen during the search keeps its address boxes disabled.
        for cid in SEARCH_LOCKED:
            self.assertEqual(controls[cid]["enabled"], cid not in ADDRESS_BOXES,
                             "control %d after the search, DHCP checked" % cid)
        self.assertFalse(self.call("describe", "wait")["visible"])

        # A chosen device fills the panel; the next search empties it but
        # keeps the credentials.
        self.call("list-click", IDC_DEVICE_LIST, 1)
        self.call("wait-text", IDC_MODEL_NAME, "Cam-2")
        self.assertEqual([self.text(box) for box in PORT_BOXES], ["8081", "8082", "8083", "8084", "8085"])
        self.assertTrue(self.call("control", IDC_RADIO_DHCP)["checked"])
        self.call("type", IDC_USER_ID, "operator")
        self.call("type", IDC_PASSWORD, "s3cret")
        self.call("set-text", IDC_DEVICE_INFO, "a note")
        self.search()
        self.sync_simulator(simulator)
        self.assertEqual(len(simulator.received(command=SEARCH)), 10)
        self.assertEqual(self.rows(), [], "the list was emptied and nobody answered")
        controls = {c["id"]: c for c in self.call("describe")["controls"]}
        for cid in ADDRESS_BOXES + [IDC_MODEL_NAME, IDC_DEVICE_INFO]:
            self.assertEqual(controls[cid]["text"], "", "control %d after a search" % cid)
        for cid in ADDRESS_BOXES:
            self.assertTrue(controls[cid]["enabled"], "control %d after a search" % cid)
        self.assertEqual((controls[IDC_RADIO_STATIC]["checked"], controls[IDC_RADIO_DHCP]["checked"]), (True, False))
        self.assertEqual([controls[box]["text"] for box in PORT_BOXES], ["0"] * 5)
        self.assertEqual((controls[IDC_USER_ID]["text"], controls[IDC_PASSWORD]["text"]), ("operator", "s3cret"))

    def test_wait_box_ignores_enter_and_escape(self):
        simulator = self.start_simulator(count=1)
        self.start_program(wait_search=False)
        self.call("wait-window", "wait", "visible", "--timeout", harness.SEARCH_LIMIT_MS)
        for key in ["enter", "escape", "enter"]:
            self.call("key", key, "--in", "wait")
            self.assertTrue(self.call("describe", "wait")["visible"], "the wait box after %s" % key)
        self.wait_search_done()
        self.sync_simulator(simulator)
        self.assertEqual(len(simulator.received(command=SEARCH)), 5, "the search ran its course")
        self.assertTrue(self.program.running())


class CloseDuringSearch(harness.ProgramTest):
    def close_and_check(self, how, after_requests, simulator):
        """Starts the program, closes it once `after_requests` requests have
        gone out, and checks that it ends soon and cleanly."""
        before = len(simulator.received(command=SEARCH))
        self.start_program(wait_search=False)
        self.call("wait-window", "wait", "visible", "--timeout", harness.SEARCH_LIMIT_MS)
        if after_requests:
            simulator.wait_received(before + after_requests, timeout=30, command=SEARCH)
        asked = time.monotonic()
        if how == "escape":
            self.call("key", "escape")
        else:
            self.call("syscommand", SC_CLOSE)
        code = self.program.wait_exit(30)
        took = time.monotonic() - asked
        self.driver.close()
        where = "closed with %s after %d requests" % (how, after_requests)
        self.assertEqual(code, 0, where)
        self.assertLess(took, 10, where)
        with open(self.program.output.name, "rb") as output:
            text = output.read().decode("latin-1")
        self.assertNotIn("Unhandled", text, where)
        self.sync_simulator(simulator)
        self.assertLess(len(simulator.received(command=SEARCH)) - before, 5, where + ": the search was cut short")

    def test_closing_during_a_search_ends_the_program(self):
        simulator = self.start_simulator(count=40)
        for how, after_requests in [("escape", 0), ("close", 0), ("escape", 2), ("close", 3), ("escape", 1)]:
            self.close_and_check(how, after_requests, simulator)


if __name__ == "__main__":
    harness.main()
