#!/usr/bin/env python3
"""The main window as the operator meets it: its controls, the endpoints it
cannot open, OK and Cancel, the data exchange of the port boxes, the about
box."""

import ast
import os
import re
import socket
import subprocess

import harness
from dialog_geometry import base_units, to_pixels
from harness import (CAPTION, IDC_ADAPTER, IDC_CONTROL_PORT, IDC_EXTENSION_TOOL, IDC_PASSWORD, IDC_RADIO_DHCP,
                     IDC_RADIO_STATIC, IDC_SAVE, IDC_SAVE_LIST, IDC_USER_ID, IDC_WEB_PORT, PORT_BOXES, TITLE)
from simulator import SET_CONFIG


def main_window_layout():
    """The main window's size and its controls in template order, from the
    table that the resource test compiles too: ((width, height), [(id, class,
    text, x, y, width, height)]) in dialog units."""
    with open(os.path.join(harness.SOURCE_DIR, "tests", "win32", "main_window_layout.h")) as table:
        text = table.read()
    size = tuple(int(n) for n in re.search(r"^MAIN_WINDOW_SIZE\((\d+), (\d+)\)", text, re.M).groups())
    controls = []
    entry = r'^MAIN_WINDOW_CONTROL\((\w+),\s*("\w+"),\s*("(?:[^"\\]|\\.)*"),' + r'\s*(\d+),' * 4
    for match in re.finditer(entry, text, re.M):
        name, class_, label, *place = match.groups()
        # The resource compiler's id of labels and group boxes.
        cid = -1 if name == "IDC_STATIC" else harness.RESOURCE_IDS[name]
        controls.append((cid, ast.literal_eval(class_), ast.literal_eval(label), *map(int, place)))
    return size, controls


# What the program puts into controls that the template leaves empty, by the
# time its first search has ended.
START_TEXTS = {**{box: "0" for box in PORT_BOXES}, IDC_ADAPTER: "lan0 : " + harness.OPERATOR_IP,
               IDC_EXTENSION_TOOL: "DevozuduDere"}

ARTIFACTS = os.path.join(harness.BUILD_DIR, "e2e-artifacts")


class MainWindow(harness.ProgramTest):
    def test_window_as_it_opens(self):
        self.start_program()
        window = self.call("describe")
        self.assertEqual(window["caption"], CAPTION)
        self.assertTrue(window["visible"])

        (width, height), layout = main_window_layout()
        base = base_units(window["client"], width, height)
        self.assertIsNotNone(base, "the client area %s is %d x %d dialog units" % (window["client"], width, height))
        controls = window["controls"]
        self.assertEqual(len(controls), len(layout))
        for control, (cid, cls, text, x, y, w, h) in zip(controls, layout):
            where = "control %d %r" % (cid, text)
            self.assertEqual((control["id"], control["class"], control["text"]),
                             (cid, cls, START_TEXTS.get(cid, text)), where)
            # In pixels on the live window, where the resource test cannot see
            # the program move or resize a control after the template made it.
            expected = to_pixels(x, y, w, h, base)
            # A combo box's height in the template is its drop-down list's.
            keys = ["x", "y", "w"] if cls == "ComboBox" else ["x", "y", "w", "h"]
            self.assertEqual({k: control["rect"][k] for k in keys}, {k: expected[k] for k in keys}, where)
            hidden = cid == IDC_SAVE_LIST
            self.assertEqual(control["visible"], not hidden, where)
            self.assertEqual(control["enabled"], not hidden, where)

        self.assertTrue(self.call("control", IDC_RADIO_STATIC)["checked"])
        self.assertFalse(self.call("control", IDC_RADIO_DHCP)["checked"])
        for box in PORT_BOXES:
            self.assertEqual(self.text(box), "0")
        extension = self.call("combo", IDC_EXTENSION_TOOL)
        self.assertEqual((extension["entries"], extension["selected"]), (["DevozuduDere"], 0))
        self.assertEqual(self.call("combo", IDC_ADAPTER)["selected"], 0)

        os.makedirs(ARTIFACTS, exist_ok=True)
        shot = os.path.join(ARTIFACTS, "main_window.png")
        rect = window["rect"]
        subprocess.run(["import", "-window", "root", "-crop",
                        "%dx%d+%d+%d" % (rect["w"], rect["h"], rect["x"], rect["y"]), "+repage", shot], check=True)
        self.assertGreater(os.path.getsize(shot), 10000, "the screenshot shows a window")

    def test_system_menu_entry(self):
        self.start_program()
        answer = self.driver.try_call("sysmenu")
        if answer.get("ok"):
            items = answer["items"]
            self.assertEqual(items[-1]["text"], "&About Seekwell...")
            self.assertEqual(items[-1]["id"], 16)
            self.assertTrue(items[-2].get("separator"), items[-2])

    def test_about_box(self):
        self.start_program()
        # The low four bits of a system command are the system's own.
        for command in [16, 17, 24, 31]:
            self.call("syscommand", command)
            self.call("wait-window", "about", "visible")
            about = self.call("about")
            self.assertEqual(about["caption"], "About Seekwell")
            texts = [c["text"] for c in about["controls"]]
            self.assertIn("Seekwell Version 1.0", texts)
            self.assertFalse(self.call("describe")["enabled"], "the about box is modal")
            self.call("about-ok")
            self.assertTrue(self.program.running())
            self.assertTrue(self.call("describe")["enabled"])


class OkAndCancel(harness.ProgramTest):
    def test_enter_with_a_letter_in_web_port_keeps_the_window(self):
        self.start_program()
        # No number, and a number with a letter after it.
        for text in ["a", "80x"]:
            with self.subTest(text=text):
                self.call("type", IDC_WEB_PORT, text)
                self.call("focus", IDC_USER_ID)
                self.call("key", "enter", "--to", IDC_USER_ID)
                box = self.message_box()
                self.assertEqual((box["caption"], box["text"], box["icon"]),
                                 (TITLE, "Enter an integer.", "exclamation"))
                self.assertEqual([b["text"] for b in box["buttons"]], ["OK"])
                self.answer("OK")
                self.assertTrue(self.program.running())
                self.assertTrue(self.call("control", IDC_WEB_PORT)["focused"], "the focus goes to the box")

    def test_enter_with_numbers_everywhere_ends_the_program(self):
        self.start_program()
        self.call("type", IDC_WEB_PORT, "8080")
        self.call("key", "enter", "--to", IDC_USER_ID)
        self.assertIsNotNone(self.program.wait_exit(30), "the program ended")

    def test_escape_ends_the_program_at_once(self):
        self.start_program()
        self.call("type", IDC_WEB_PORT, "not a number")
        self.call("key", "escape", "--to", IDC_WEB_PORT)
        self.assertIsNotNone(self.program.wait_exit(30), "the program ended")
        self.assertFalse(self.driver.try_call("msgbox").get("ok"))


class Endpoints(harness.ProgramTest):
    def taken(self, port):
        holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        holder.bind(("0.0.0.0", port))
        self.addCleanup(holder.close)

    def check_refusal(self, texts):
        simulator = self.start_simulator(count=1)
        self.start_program(wait_search=False)
        for text in texts:
            box = self.message_box()
            self.assertEqual((box["caption"], box["text"], box["icon"]), (TITLE, text, "exclamation"))
            self.answer("OK")
        self.assertIsNotNone(self.program.wait_exit(30), "the program ended")
        self.assertEqual(simulator.received(), [], "nothing was sent")

    def test_receive_port_taken(self):
        self.taken(40014)
        self.check_refusal(["Error create socket!!!"])

    def test_send_port_taken(self):
        self.taken(40013)
        self.check_refusal(["Error create send socket!!!"])

    def test_both_ports_taken(self):
        self.taken(40014)
        self.taken(40013)
        self.check_refusal(["Error create socket!!!", "Error create send socket!!!"])


class PortExchange(harness.ProgramTest):
    """What a port box's text gives the Save that reads it: a box holds one
    whole number, blanks around it allowed; any other text is refused with
    "Enter an integer." and the Save is not sent."""

    DEVICE = {"mac": "00:1A:2B:00:00:01", "webPort": 81, "controlPort": 82, "videoPort": 83,
              "audioTransmitPort": 84, "audioReceivePort": 85}

    def save_with(self, web_port_text):
        simulator = self.start_simulator(devices=[self.DEVICE])
        self.start_program()
        self.call("list-click", harness.IDC_DEVICE_LIST, 0, harness.COLUMN_MAC_ADDRESS)
        self.call("type", IDC_USER_ID, "admin")
        self.call("type", IDC_PASSWORD, "admin")
        self.call("type", IDC_CONTROL_PORT, "5555")
        if web_port_text:
            self.call("type", IDC_WEB_PORT, web_port_text)
        else:
            self.call("set-text", IDC_WEB_PORT, "")
        self.call("click", IDC_SAVE)
        return simulator

    def check(self, text, message, ports):
        simulator = self.save_with(text)
        if message:
            box = self.message_box()
            self.assertEqual(box["text"], message)
            self.answer("OK")
            self.sync_simulator(simulator)
            self.assertEqual(simulator.received(command=SET_CONFIG), [], "nothing was sent")
            return
        request = simulator.wait_received(command=SET_CONFIG)[0]["record"]
        self.assertEqual((request["webPort"], request["controlPort"]), ports)


# One program per case: text in Web Port, the message, the (web, control)
# ports that Save sends (None: nothing is sent).
EXCHANGE_CASES = {
    "blank_and_sign": (" -5", None, (65531, 5555)),
    "blanks_around": (" 80 ", None, (80, 5555)),
    "number_then_letter": ("80x", "Enter an integer.", None),
    "two_numbers": ("80 81", "Enter an integer.", None),
    "empty": ("", "Enter an integer.", None),
    "letter_first": ("x1", "Enter an integer.", None),
}
for _name, _case in EXCHANGE_CASES.items():
    setattr(PortExchange, "test_" + _name, lambda self, case=_case: self.check(*case))


if __name__ == "__main__":
    harness.main()
