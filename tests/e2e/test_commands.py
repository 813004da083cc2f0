#!/usr/bin/env python3
"""Save, Reboot and Factory Reset, end to end: what the simulated devices
receive, byte for byte, what their answers show, what is refused before
anything is sent, and what happens when there is nothing to send through.
Runs in a LAN with two adapters, so that the send port of one can be held
while the program still has the other.

    NW_BUILD_DIR=/path/to/windows/build NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan --adapters 2 -- python3 tests/e2e/test_commands.py
"""

import contextlib
import re
import socket

import harness
from harness import (IDC_ADAPTER, IDC_AUDIO_RECEIVE_PORT, IDC_AUDIO_TRANSMIT_PORT, IDC_CONTROL_PORT, IDC_DEVICE_LIST,
                     IDC_DNS, IDC_FACTORY_RESET, IDC_GATEWAY, IDC_IP_ADDRESS, IDC_PASSWORD, IDC_RADIO_DHCP,
                     IDC_REBOOT, IDC_SAVE, IDC_SEARCH, IDC_SUBNET_MASK, IDC_USER_ID, IDC_VIDEO_PORT, IDC_WEB_PORT,
                     OPERATOR_IP, TITLE)
from harness import COLUMN_IP_ADDRESS, COLUMN_MAC_ADDRESS, ip, restore_lan
from simulator import (DEVICE_PORT, FACTORY_RESET, FIELDS, RECORD_SIZE, REBOOT, SEARCH, SEARCH_REPLY, SET_CONFIG,
                       parse_record, password_digest, send_datagram)

FIELD = {name: (offset, width) for name, offset, width, _ in FIELDS}

PANEL_TEXTS = {IDC_IP_ADDRESS: "ipAddress", IDC_SUBNET_MASK: "subnetMask", IDC_GATEWAY: "gateway", IDC_DNS: "dns"}
PANEL_PORTS = {IDC_WEB_PORT: "webPort", IDC_CONTROL_PORT: "controlPort", IDC_VIDEO_PORT: "videoPort",
               IDC_AUDIO_TRANSMIT_PORT: "audioTransmitPort", IDC_AUDIO_RECEIVE_PORT: "audioReceivePort"}

CREDENTIALS_TEXT = 'Check the "User ID" and "Password"'
NO_ADAPTER_TEXT = ('Nothing was sent: no network adapter with an IPv4 address is chosen.\n'
                   'Choose an adapter and press "Search" again.')
PORT_TAKEN_TEXT = ('Nothing was sent: port 40013 could not be opened on %s.\n'
                   'Another program may be using it. Close it or choose another adapter, then press "Search" again.')
HEADERS = {REBOOT: 'Check the IP and MAC on "Reboot"\n\n', FACTORY_RESET: 'Check the IP and MAC on "Factory Reset"\n\n'}
BATCH_BUTTONS = {REBOOT: IDC_REBOOT, FACTORY_RESET: IDC_FACTORY_RESET}


# What the program is expected to send, built from the record it stores.

def put_text(record, name, text):
    """An edit box's text into a field: at most 31 bytes and a NUL; the
    field's bytes after the NUL stay."""
    offset, _ = FIELD[name]
    raw = text.encode("latin-1")[:31]
    record[offset:offset + len(raw)] = raw
    record[offset + len(raw)] = 0


def put_number(record, name, value):
    offset, width = FIELD[name]
    record[offset:offset + width] = (value & ((1 << 8 * width) - 1)).to_bytes(width, "little")


def stamped(stored, command, user, password):
    record = bytearray(stored)
    put_number(record, "command", command)
    put_text(record, "userId", user)
    record[40:72] = password_digest(password)
    return bytes(record)


def expected_save(stored, user, password, edits, address_mode=None):
    """The Save record for a device whose stored record is `stored`, after
    its row was clicked and the boxes in `edits` (box -> typed text) were
    changed. `address_mode` is what the radio buttons give, when not the
    stored one."""
    shown = parse_record(stored)
    record = bytearray(stamped(stored, SET_CONFIG, user, password))
    if address_mode is None:
        address_mode = shown["dhcp"] if shown["dhcp"] in (0, 1) else -1
    put_number(record, "dhcp", address_mode)
    for box, name in PANEL_TEXTS.items():
        put_text(record, name, edits.get(box, shown[name]))
    for box, name in PANEL_PORTS.items():
        put_number(record, name, int(edits[box]) if box in edits else shown[name])
    return bytes(record)


def datagram(entry):
    data = bytes.fromhex(entry["hex"])
    assert entry["length"] == len(data) == RECORD_SIZE, entry
    return data


class CommandTest(harness.ProgramTest):
    """One simulator with the given devices (name -> device keys) and the
    program, with every device listed."""

    def start(self, devices, options=()):
        self.devices = devices
        self.simulator = self.start_simulator(devices=list(devices.values()), options=options)
        self.start_program()
        self.call("wait-rows", IDC_DEVICE_LIST, len(devices))
        # What the program stores for each device: its search reply, until
        # a Save writes over it.
        self.stored = {name: datagram(self.simulator.sent(command=SEARCH_REPLY, macAddress=keys["mac"])[0])
                       for name, keys in devices.items()}
        return self.simulator

    @contextlib.contextmanager
    def step(self, description):
        """Names the step in whatever fails inside it."""
        try:
            yield
        except Exception as error:
            raise AssertionError("%s: %s" % (description, error)) from error

    def enter(self, box, text):
        if text:
            self.call("type", box, text)
        else:
            self.call("set-text", box, "")

    def credentials(self, user, password):
        self.enter(IDC_USER_ID, user)
        self.enter(IDC_PASSWORD, password)

    def row(self, name):
        return self.row_of(self.devices[name]["ip"])

    def click(self, name):
        self.call("list-click", IDC_DEVICE_LIST, self.row(name), COLUMN_MAC_ADDRESS)

    def tick(self, *names):
        for name in names:
            self.call("list-check", IDC_DEVICE_LIST, self.row(name), "on")

    def requests(self, command, name=None):
        match = {} if name is None else {"macAddress": self.devices[name]["mac"]}
        return self.simulator.received(command=command, **match)

    def click_save(self):
        """Clicks Save; returns the one request that reached the devices."""
        before = len(self.requests(SET_CONFIG))
        self.call("click", IDC_SAVE)
        return self.simulator.wait_received(before + 1, command=SET_CONFIG, timeout=20)[before]

    def save(self, name, edits, user="admin", password="admin", address_mode=None):
        """Clicks the device's row, changes the boxes, clicks Save, checks
        the request byte for byte and notes it as stored; returns it."""
        self.click(name)
        for box, text in edits.items():
            self.enter(box, text)
        self.credentials(user, password)
        request = self.click_save()
        expected = expected_save(self.stored[name], user, password, edits, address_mode)
        self.assertEqual(request["hex"], expected.hex(), "the Save record to %s" % name)
        self.stored[name] = expected
        return request

    def confirm_batch(self, command, names, answer):
        """Clicks Reboot or Factory Reset and answers its confirmation, which
        must list the ticked devices in row order."""
        self.call("click", BATCH_BUTTONS[command])
        box = self.message_box()
        ordered = sorted(names, key=self.row)
        lines = "".join("IP : %s / MAC : %s\n" % (parse_record(self.stored[n])["ipAddress"], self.devices[n]["mac"])
                        for n in ordered)
        self.assertEqual((box["caption"], box["text"], box["icon"]), (TITLE, HEADERS[command] + lines, "question"))
        self.assertEqual([(b["id"], b["text"].replace("&", "")) for b in box["buttons"]], [(6, "Yes"), (7, "No")])
        self.answer(answer)
        return ordered


def device(n, **keys):
    return dict(mac="00:1A:2B:00:03:%02X" % n, ip="198.51.100.%d" % (40 + n), **keys)


class SaveAnswers(CommandTest):
    # A result the device's search replies carry, and texts with bytes after
    # their NUL: both must go back as stored.
    DEVICES = {
        "judge": device(0, result=9, gateway=b"198.51.100.254\0" + bytes(range(0xA0, 0xB1)),
                        name=b"cam\0" + b"\xee" * 28),
        "failed": device(1, applyResult=1),
        "config": device(2, applyResult=4),
        "twice": device(3, applyCount=2),
        "other-mac": device(4, applyMac="00:1A:2B:00:FF:FF"),
        "result-6": device(5, applyResult=6),
        "result-7": device(6, applyResult=7),
        # HTTPS on: a Save must carry the byte back, or it switches HTTPS off.
        "https": device(7, https=1, webPort=443),
    }

    # Device, boxes changed, password, the text shown (None: nothing), and
    # whether the rows are sorted between the row click and Save. The judge
    # judges the settings as a device would; the others answer as told.
    CASES = [
        ("judge", {IDC_GATEWAY: "198.51.100.1", IDC_WEB_PORT: "8081"}, "admin", "Apply", False),
        ("judge", {}, "nimda", "Failed. login failed", False),
        ("judge", {IDC_DNS: "1" * 40}, "admin", "Failed. Invalid address", False),
        ("judge", {IDC_DNS: "198.51.100.253", IDC_WEB_PORT: "65536"}, "admin", "Failed. Invalid port", False),
        ("judge", {IDC_WEB_PORT: "-1"}, "admin", "Apply", False),
        ("failed", {IDC_CONTROL_PORT: "7001"}, "admin", "Failed", True),
        ("config", {}, "admin", "Failed. Invalid config", False),
        ("twice", {}, "admin", "Apply", False),
        ("other-mac", {}, "admin", None, False),
        ("result-6", {}, "admin", None, False),
        ("result-7", {}, "admin", None, False),
        ("https", {IDC_WEB_PORT: "8443"}, "admin", "Apply", False),
    ]

    def save_and_answer(self, name, edits, password, shown, sort):
        mac = self.devices[name]["mac"]
        answers = len(self.simulator.sent(command=SET_CONFIG))
        self.click(name)
        if sort:
            # Descending by address: the chosen row moves, and the chosen
            # device must move with it.
            row = self.row(name)
            self.call("header-click", IDC_DEVICE_LIST, COLUMN_IP_ADDRESS)
            self.call("header-click", IDC_DEVICE_LIST, COLUMN_IP_ADDRESS)
            addresses = [r["cells"][COLUMN_IP_ADDRESS] for r in self.rows()]
            self.assertEqual(addresses, sorted(addresses, reverse=True))
            self.assertNotEqual(self.row(name), row, "the sort moved the row")
        for box, text in edits.items():
            self.enter(box, text)
        self.credentials("admin", password)
        request = self.click_save()
        self.assertEqual(request["record"]["macAddress"], mac, "Save goes to the chosen device")
        expected = expected_save(self.stored[name], "admin", password, edits)
        self.assertEqual(request["hex"], expected.hex())
        self.stored[name] = expected
        if shown is not None:
            self.expect_message(shown)
        if name == "twice":
            self.simulator.wait_sent(answers + 2, command=SET_CONFIG, timeout=20)
        elif shown is None:
            self.simulator.wait_sent(answers + 1, command=SET_CONFIG, timeout=20)
            # The right answer arriving next is shown only if the Save still
            # waits for it: a reply for another device did not end the wait,
            # one from the device itself did.
            send_datagram(OPERATOR_IP, command=SET_CONFIG, macAddress=mac, result=0)
            if name == "other-mac":
                self.expect_message("Apply")
        # Whatever came before the marker's answer showed nothing more.
        self.sync_replies()
        self.assert_no_message_box()

    def test_save_sends_one_record_and_shows_the_answer_once(self):
        self.start(self.DEVICES)
        # Apply replies that no Save asked for show nothing: one without a
        # MAC text, one from a listed device.
        send_datagram(OPERATOR_IP, command=SET_CONFIG, result=0)
        send_datagram(OPERATOR_IP, command=SET_CONFIG, macAddress=self.devices["judge"]["mac"], result=0)
        self.sync_replies()
        self.assert_no_message_box()
        for number, case in enumerate(self.CASES):
            with self.step("case %d %s" % (number, case[:3])):
                self.assertEqual(len(self.requests(SET_CONFIG)), number, "one request per Save")
                self.save_and_answer(*case)
        self.assertEqual(len(self.requests(SET_CONFIG)), len(self.CASES))
        record = parse_record(self.stored["judge"])
        self.assertEqual((record["result"], record["webPort"], record["dns"]), (9, 65535, "198.51.100.253"))
        (request,) = self.requests(SET_CONFIG, "https")
        self.assertEqual((request["record"]["httpsEnabled"], request["record"]["webPort"]), (1, 8443),
                         "byte 370 goes back as the device sent it")


LONG_USER = "operator-" + "u" * 31
LONG_PASSWORD = "secret-" + "p" * 33


class Refusals(CommandTest):
    DEVICES = {
        # Credentials with blanks around the name, and ones that are the
        # first 31 characters of 40-character texts.
        "blanks": device(10, user=" admin "),
        "long": device(11, user=LONG_USER[:31], password=LONG_PASSWORD[:31]),
    }

    def test_nothing_chosen_and_missing_credentials_send_nothing(self):
        self.start(self.DEVICES)
        self.call("click", IDC_SAVE)
        self.expect_message("Not Selected")
        self.tick("blanks")  # also chooses it
        for user, password in [("", "admin"), ("   ", "admin"), ("admin", ""), ("admin", "  "), ("", "")]:
            with self.step("User ID %r, Password %r" % (user, password)):
                self.credentials(user, password)
                for button in [IDC_SAVE, IDC_REBOOT, IDC_FACTORY_RESET]:
                    self.call("click", button)
                    self.expect_message(CREDENTIALS_TEXT)

        # Blanks around a name are kept; the device knows it with them.
        request = self.save("blanks", {}, user=" admin ")
        self.assertEqual(request["hex"][8 * 2:16 * 2], b" admin \0".hex())
        self.expect_message("Apply")

        # 40 characters go out as 31 and a NUL, and the password's digest is
        # that of its first 31 characters and a NUL.
        request = self.save("long", {}, user=LONG_USER, password=LONG_PASSWORD)
        data = bytes.fromhex(request["hex"])
        self.assertEqual(data[8:40], (LONG_USER[:31] + "\0").encode())
        self.assertEqual(data[40:72], password_digest(LONG_PASSWORD[:31]))
        self.assertEqual(data[56:72], bytes(16))
        self.expect_message("Apply")

        self.sync_simulator(self.simulator)
        self.assertEqual(len(self.requests(SET_CONFIG)), 2, "only the two accepted Saves went out")
        self.assertEqual(self.requests(REBOOT) + self.requests(FACTORY_RESET), [])

    def test_a_port_box_without_a_whole_number_sends_nothing(self):
        self.start({"ports": device(12, webPort=81, controlPort=82, videoPort=83, audioTransmitPort=84,
                                    audioReceivePort=85),
                    "next": device(13, webPort=8088, dhcp=1)})
        edits = {IDC_WEB_PORT: "1111", IDC_CONTROL_PORT: "2222", IDC_VIDEO_PORT: "abc",
                 IDC_AUDIO_TRANSMIT_PORT: "4444", IDC_AUDIO_RECEIVE_PORT: "5555", IDC_IP_ADDRESS: "198.51.100.77"}
        self.tick("ports")  # also chooses it
        for box, text in edits.items():
            self.enter(box, text)
        self.call("click", IDC_RADIO_DHCP)
        self.credentials("admin", "admin")
        # No number, and a number with more after it: each command is
        # refused by the exchange and goes no further.
        for text in ["abc", "83x", "8 3"]:
            self.enter(IDC_VIDEO_PORT, text)
            for button in [IDC_SAVE, IDC_REBOOT, IDC_FACTORY_RESET]:
                with self.step("Video Port %r, button %d" % (text, button)):
                    self.call("click", button)
                    box = self.expect_message("Enter an integer.")
                    self.assertEqual(box["icon"], "exclamation")
        self.sync_simulator(self.simulator)
        self.assertEqual(self.requests(SET_CONFIG) + self.requests(REBOOT) + self.requests(FACTORY_RESET), [],
                         "nothing was sent")
        self.assert_no_message_box()

        # With a number there, everything typed goes out; 65536 as 0, and
        # DHCP is read too.
        self.enter(IDC_VIDEO_PORT, " 83 ")
        self.enter(IDC_WEB_PORT, "65536")
        request = self.click_save()
        sent = {**edits, IDC_VIDEO_PORT: "83", IDC_WEB_PORT: "65536"}
        expected = expected_save(self.stored["ports"], "admin", "admin", sent, address_mode=1)
        self.assertEqual(request["hex"], expected.hex())
        self.assertEqual(request["record"]["webPort"], 0)
        self.stored["ports"] = expected
        self.expect_message("Failed. Invalid port")

        # Another device shows its own port; the saved one shows what was
        # sent, while its row keeps the address of the search.
        self.click("next")
        self.assertEqual(self.text(IDC_WEB_PORT), "8088")
        self.click("ports")
        shown = {box: self.text(box) for box in [*PANEL_PORTS, IDC_IP_ADDRESS]}
        self.assertEqual(shown, {IDC_WEB_PORT: "0", IDC_CONTROL_PORT: "2222", IDC_VIDEO_PORT: "83",
                                 IDC_AUDIO_TRANSMIT_PORT: "4444", IDC_AUDIO_RECEIVE_PORT: "5555",
                                 IDC_IP_ADDRESS: "198.51.100.77"})
        self.assertTrue(self.call("control", IDC_RADIO_DHCP)["checked"])
        self.assertEqual(self.rows()[self.row("ports")]["cells"][COLUMN_IP_ADDRESS], "198.51.100.52")


class Batches(CommandTest):
    def test_reboot_goes_to_the_ticked_devices_in_row_order(self):
        # Rebooted devices stay silent for the rest of the test.
        self.start({"r%d" % n: device(20 + n) for n in range(4)}, options=["--reboot-time", "600"])
        self.credentials("admin", "admin")
        self.call("click", IDC_REBOOT)
        self.expect_message("Not Checked")

        # The saved settings are what a reboot carries.
        self.save("r2", {IDC_GATEWAY: "198.51.100.9", IDC_WEB_PORT: "8082"})
        self.expect_message("Apply")

        self.tick("r3", "r0", "r2")
        self.confirm_batch(REBOOT, ["r0", "r2", "r3"], "No")
        ordered = self.confirm_batch(REBOOT, ["r0", "r2", "r3"], "Yes")
        self.expect_message("Apply")
        self.sync_simulator(self.simulator)
        requests = self.requests(REBOOT)
        self.assertEqual([r["record"]["macAddress"] for r in requests], [self.devices[n]["mac"] for n in ordered],
                         "one record per ticked device, in row order; nothing after No")
        for name, request in zip(ordered, requests):
            self.assertEqual(request["hex"], stamped(self.stored[name], REBOOT, "admin", "admin").hex(), name)
        self.assertEqual(requests[ordered.index("r2")]["record"]["webPort"], 8082)
        # About 10 ms apart: never a burst, never a long wait.
        times = [r["mono"] for r in requests]
        gaps = [b - a for a, b in zip(times, times[1:])]
        self.assertGreaterEqual(times[-1] - times[0], 0.012, gaps)
        self.assertLessEqual(max(gaps), 0.5, gaps)

        # The devices took the credentials: they reboot and miss the next search.
        self.simulator.wait_event("reboot", 3, timeout=20)
        self.search()
        self.assertEqual([row["cells"][COLUMN_MAC_ADDRESS] for row in self.rows()], [self.devices["r1"]["mac"]])

    def test_factory_reset_checks_credentials_and_carries_the_saved_settings(self):
        self.start({"f0": device(30), "f1": device(31)}, options=["--reboot-time", "2"])
        self.credentials("admin", "wrong")
        self.call("click", IDC_FACTORY_RESET)
        self.expect_message("Not Checked")
        self.tick("f0")
        self.confirm_batch(FACTORY_RESET, ["f0"], "Yes")
        self.expect_message("Apply")
        self.simulator.wait_event("refused", timeout=20)

        self.save("f0", {IDC_IP_ADDRESS: "198.51.100.90"})
        self.expect_message("Apply")
        # The confirmation lists the address that was saved.
        self.confirm_batch(FACTORY_RESET, ["f0"], "Yes")
        self.expect_message("Apply")
        self.sync_simulator(self.simulator)
        accepted = self.requests(FACTORY_RESET)[-1]
        self.assertEqual(accepted["hex"], stamped(self.stored["f0"], FACTORY_RESET, "admin", "admin").hex())
        self.assertEqual(accepted["record"]["ipAddress"], "198.51.100.90")

        # Back with the address it started with.
        self.simulator.wait_event("factory-reset", timeout=20)
        self.simulator.wait_event("back", timeout=30)
        self.search()
        self.assertCountEqual([row["cells"][COLUMN_IP_ADDRESS] for row in self.rows()], ["198.51.100.70", "198.51.100.71"])


class NothingToSendThrough(CommandTest):

    def test_send_port_held_by_another_program(self):
        self.start({"d": device(40)})
        entries = self.call("combo", IDC_ADAPTER)["entries"]
        self.assertEqual(len(entries), 2, entries)
        self.call("select", IDC_ADAPTER, entries[1])
        self.search()
        # Now the first adapter's port 40013 is free for another program.
        adapter, address = entries[0].split(" : ")
        holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.addCleanup(holder.close)
        # Wine binds an adapter's address as that adapter's wildcard
        # address; a socket on the same adapter and port keeps it out.
        holder.setsockopt(socket.SOL_SOCKET, socket.SO_BINDTODEVICE, adapter.encode())
        holder.bind((address, DEVICE_PORT))
        self.call("select", IDC_ADAPTER, entries[0])
        self.call("click", IDC_SEARCH)
        # The search ends at once and says why; the list is emptied.
        box = self.expect_message(PORT_TAKEN_TEXT % address)
        self.assertEqual(box["icon"], "exclamation")
        self.assertEqual(self.rows(), [])
        self.assertFalse(self.call("describe", "wait")["visible"])
        self.call("wait-state", IDC_SEARCH, "enabled")

        # The failed search emptied the list: nothing is ticked or chosen, so
        # the commands stop there, before asking for the endpoint.
        self.credentials("admin", "admin")
        for button in [IDC_REBOOT, IDC_FACTORY_RESET]:
            self.call("click", button)
            self.expect_message("Not Checked")
        self.call("click", IDC_SAVE)
        self.expect_message("Not Selected")

        holder.close()
        searches = len(self.simulator.received(command=SEARCH, peer=address))
        self.search()
        self.simulator.wait_received(searches + 1, command=SEARCH, peer=address, timeout=20)
        self.call("wait-rows", IDC_DEVICE_LIST, 1)
        self.sync_simulator(self.simulator)
        self.assertEqual([e for e in self.simulator.received() if e.get("length") == RECORD_SIZE and
                          e["record"]["command"] != SEARCH], [])

    def test_no_adapter_at_start(self):
        addresses = harness.lan_addresses()
        self.assertTrue(addresses)
        self.addCleanup(restore_lan, addresses)
        for name, address in addresses:
            ip("addr", "del", *address, "dev", name)
        simulator = self.start_simulator(devices=[device(41)])
        self.start_program(wait_search=False)
        # The first search can send nothing: it ends at once and says why,
        # over the shown window, instead of looking like "no devices".
        box = self.expect_message(NO_ADAPTER_TEXT)
        self.assertEqual(box["icon"], "exclamation")
        self.assertEqual(self.call("combo", IDC_ADAPTER)["entries"], [])
        self.assertFalse(self.call("describe", "wait")["visible"])

        # The addresses come back, the adapter box stays empty: every search
        # says the same, and the controls stay usable.
        restore_lan(addresses)
        self.call("click", IDC_SEARCH)
        self.expect_message(NO_ADAPTER_TEXT)
        self.assertEqual(self.rows(), [])
        controls = {c["id"]: c for c in self.call("describe")["controls"]}
        for cid in harness.SEARCH_LOCKED:
            self.assertTrue(controls[cid]["enabled"], "control %d" % cid)
        self.credentials("admin", "admin")
        self.call("click", IDC_SAVE)
        self.expect_message("Not Selected")
        self.sync_simulator(simulator)
        self.assertEqual([e for e in simulator.received() if e.get("length") == RECORD_SIZE], [])

    def test_a_datagram_that_cannot_leave_is_reported(self):
        self.start({"a": device(44), "b": device(45)})
        addresses = harness.lan_addresses()
        self.addCleanup(restore_lan, addresses)
        self.tick("a", "b")
        self.click("a")
        self.credentials("admin", "admin")
        ip("link", "set", "lan0", "down")
        self.call("click", IDC_SAVE)
        self.expect_message("Failed. The settings could not be sent.")
        self.confirm_batch(REBOOT, ["a", "b"], "Yes")
        self.expect_message("Failed. 2 of 2 commands could not be sent.")

        # With the adapter back the same Save goes out.
        restore_lan(addresses)
        self.click_save()
        self.expect_message("Apply")
        self.assertEqual(len(self.requests(SET_CONFIG)) + len(self.requests(REBOOT)), 1)


if __name__ == "__main__":
    harness.main()
