#!/usr/bin/env python3
"""The settings panel: a click on a row shows that device's settings, the
address-mode buttons enable and disable the address boxes, a click below the
rows keeps the chosen device, and a search empties the panel.

    NW_BUILD_DIR=/path/to/windows/build NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan -- python3 tests/e2e/test_settings_panel.py
"""

import harness
from harness import (IDC_AUDIO_RECEIVE_PORT, IDC_AUDIO_TRANSMIT_PORT, IDC_CONTROL_PORT, IDC_DEVICE_INFO,
                     IDC_DEVICE_LIST, IDC_DNS, IDC_GATEWAY, IDC_IP_ADDRESS, IDC_MODEL_NAME, IDC_PASSWORD,
                     IDC_RADIO_DHCP, IDC_RADIO_STATIC, IDC_SAVE, IDC_SUBNET_MASK, IDC_USER_ID, IDC_VIDEO_PORT,
                     IDC_WEB_PORT)
from harness import COLUMN_MAC_ADDRESS
from simulator import SET_CONFIG

ADDRESS_BOXES = [IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_DNS]

# Every value differs from every other, so that a value shown in the wrong
# box, or the two audio ports swapped, shows. The record holds the audio
# receive port before the transmit port; the panel shows transmit above
# receive.
DEVICES = {
    "static": dict(mac="00:1A:2B:00:02:01", ip="198.51.100.40", mask="255.255.0.0", gateway="198.51.100.250",
                   dns="198.51.100.240", product="Panel Static", dhcp=0, webPort=8080, controlPort=30011,
                   videoPort=30012, audioReceivePort=30014, audioTransmitPort=30013),
    # Ports at both ends of their range.
    "dhcp": dict(mac="00:1A:2B:00:02:02", ip="198.51.100.41", mask="255.255.255.128", gateway="198.51.100.251",
                 dns="198.51.100.241", product="Panel DHCP", dhcp=1, webPort=65535, controlPort=0, videoPort=1,
                 audioReceivePort=40000, audioTransmitPort=50000),
    # Neither STATIC nor DHCP.
    "other": dict(mac="00:1A:2B:00:02:03", ip="198.51.100.42", mask="255.255.255.192", gateway="198.51.100.252",
                  dns="198.51.100.242", product="Panel Other", dhcp=2, webPort=81, controlPort=82, videoPort=83,
                  audioReceivePort=85, audioTransmitPort=84),
}

# Box -> device key it shows.
SHOWN = {
    IDC_MODEL_NAME: "product",
    IDC_IP_ADDRESS: "ip",
    IDC_SUBNET_MASK: "mask",
    IDC_GATEWAY: "gateway",
    IDC_DNS: "dns",
    IDC_WEB_PORT: "webPort",
    IDC_CONTROL_PORT: "controlPort",
    IDC_VIDEO_PORT: "videoPort",
    IDC_AUDIO_TRANSMIT_PORT: "audioTransmitPort",
    IDC_AUDIO_RECEIVE_PORT: "audioReceivePort",
}


class SettingsPanel(harness.ProgramTest):
    def start(self):
        simulator = self.start_simulator(devices=list(DEVICES.values()))
        self.start_program()
        self.call("wait-rows", IDC_DEVICE_LIST, len(DEVICES))
        return simulator

    def click_device(self, name):
        self.call("list-click", IDC_DEVICE_LIST, self.row_of(DEVICES[name]["ip"]), COLUMN_MAC_ADDRESS)

    def panel(self):
        """What the panel shows: every box's text and the two buttons."""
        shown = {box: self.text(box) for box in [*SHOWN, IDC_DEVICE_INFO, IDC_USER_ID, IDC_PASSWORD]}
        shown["checked"] = (self.call("control", IDC_RADIO_STATIC)["checked"],
                            self.call("control", IDC_RADIO_DHCP)["checked"])
        return shown

    def address_boxes_enabled(self):
        return [self.call("control", box)["enabled"] for box in ADDRESS_BOXES]

    def assert_shows(self, name, shown, checked):
        device = DEVICES[name]
        for box, key in SHOWN.items():
            self.assertEqual(shown[box], str(device[key]), "%s: box %d shows the device's %s" % (name, box, key))
        self.assertEqual(shown[IDC_DEVICE_INFO], "", name)
        self.assertEqual(shown["checked"], checked, "%s: (STATIC, DHCP) checked" % name)

    def test_a_row_click_shows_the_device_and_a_click_below_keeps_it(self):
        simulator = self.start()
        # The click must empty box 1028 and leave the credentials alone.
        self.call("set-text", IDC_DEVICE_INFO, "left over")
        self.call("type", IDC_USER_ID, "admin")
        self.call("type", IDC_PASSWORD, "admin")
        for name, checked in [("static", (True, False)), ("dhcp", (False, True)), ("other", (False, False))]:
            self.click_device(name)
            shown = self.panel()
            self.assert_shows(name, shown, checked)
            self.assertEqual((shown[IDC_USER_ID], shown[IDC_PASSWORD]), ("admin", "admin"))
            # Showing a DHCP device does not lock its address boxes.
            self.assertEqual(self.address_boxes_enabled(), [True] * 4, name)

        # A click on a row's check box is a click on that row.
        self.call("list-check", IDC_DEVICE_LIST, self.row_of(DEVICES["static"]["ip"]), "on")
        self.assert_shows("static", self.panel(), (True, False))
        self.call("list-check", IDC_DEVICE_LIST, self.row_of(DEVICES["other"]["ip"]), "on")
        before = self.panel()
        self.assert_shows("other", before, (False, False))

        self.call("list-click-empty", IDC_DEVICE_LIST)
        self.assertEqual(self.panel(), before, "a click below the rows changes nothing")
        # The chosen device is still the one Save goes to; with neither
        # button checked the address mode goes out as -1.
        self.call("click", IDC_SAVE)
        (request,) = simulator.wait_received(command=SET_CONFIG)
        self.assertEqual(request["record"]["macAddress"], DEVICES["other"]["mac"])
        self.assertEqual(request["hex"][228 * 2:232 * 2], "ffffffff")
        self.expect_message("Failed. Invalid config")

    def test_b_address_mode_buttons_and_a_new_search(self):
        self.start()
        self.call("click", IDC_RADIO_DHCP)
        self.assertEqual(self.address_boxes_enabled(), [False] * 4, "DHCP locks the address boxes")
        # A row click checks the device's button but leaves the boxes as they are.
        self.click_device("static")
        self.assertTrue(self.call("control", IDC_RADIO_STATIC)["checked"])
        self.assertEqual(self.address_boxes_enabled(), [False] * 4)
        self.call("click", IDC_RADIO_STATIC)
        self.assertEqual(self.address_boxes_enabled(), [True] * 4, "STATIC unlocks them")
        self.click_device("dhcp")
        self.assertTrue(self.call("control", IDC_RADIO_DHCP)["checked"])
        self.assertEqual(self.address_boxes_enabled(), [True] * 4)
        self.call("click", IDC_RADIO_DHCP)
        self.assertEqual(self.address_boxes_enabled(), [False] * 4)

        self.call("type", IDC_USER_ID, "kept")
        self.search()
        shown = self.panel()
        for box in [IDC_MODEL_NAME, IDC_DEVICE_INFO, *ADDRESS_BOXES]:
            self.assertEqual(shown[box], "", "a search empties box %d" % box)
        for box in harness.PORT_BOXES:
            self.assertEqual(shown[box], "0", "a search sets box %d to 0" % box)
        self.assertEqual(shown["checked"], (True, False), "a search checks STATIC")
        self.assertEqual(shown[IDC_USER_ID], "kept", "a search keeps the credentials")
        self.assertEqual(self.address_boxes_enabled(), [True] * 4, "a search unlocks the address boxes")
        # No device is chosen until a row is clicked again.
        self.call("click", IDC_SAVE)
        self.expect_message("Not Selected")


if __name__ == "__main__":
    harness.main()
