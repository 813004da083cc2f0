#!/usr/bin/env python3
"""Sorting the device list by a click on a column's title: the order of
each column both ways with the one shared direction, the address and
number keys, column 0's check boxes, and that a row still stands for its
own device afterwards (in the panel and for Save)."""

import re

import harness
from harness import (IDC_DEVICE_LIST, IDC_GATEWAY, IDC_IP_ADDRESS, IDC_MODEL_NAME, IDC_PASSWORD, IDC_SAVE,
                     IDC_USER_ID, IDC_WEB_PORT)
from harness import COLUMN_CHECK_BOX, COLUMN_IP_ADDRESS, COLUMN_MAC_ADDRESS, COLUMN_NO
from simulator import SET_CONFIG

# Devices whose columns each sort in another order, with equal keys in
# several columns; 10.0.0.300 and 10.1 have no regular address key.
DEVICES = [
    {"mac": "00:1A:2B:00:00:07", "ip": "192.168.0.10", "product": "Zoom", "maker": "Acme",
     "firmware": "1.10_20230101", "name": "cam-b"},
    {"mac": "00:1a:2b:00:00:01", "ip": "192.168.0.9", "product": "alpha", "maker": "Bolt",
     "firmware": "1.9_20230101", "name": "Cam-c"},
    {"mac": "FF:00:00:00:00:01", "ip": "10.0.0.300", "product": b"\xc9cran", "maker": "Acme",
     "firmware": "2.0_20220807", "name": "cam-a"},
    {"mac": "0A:00:00:00:00:02", "ip": "10.1", "product": "Alpha", "maker": "acme",
     "firmware": "2.0_20220806", "name": "hidden"},
    {"mac": "00:1A:2B:00:00:10", "ip": "9.200.1.1", "product": b"\0", "maker": "Zeta",
     "firmware": "1.10_20230101", "name": "cam-b"},
    {"mac": "00:1A:2B:00:00:1", "ip": "10.0.0.45", "product": "Beta", "maker": "Bolt",
     "firmware": "0.1_20200101", "name": "old"},
    {"mac": "00:1A:2B:00:00:08", "ip": "192.168.0.9.77", "product": "Alpha", "maker": "Acme",
     "firmware": "10_20230101", "name": "Cam-c"},
]
for _n, _device in enumerate(DEVICES, 1):
    _device.update(webPort=8000 + _n, gateway="198.51.100.%d" % (200 + _n))


def text(value):
    return value.decode("latin-1").split("\0", 1)[0] if isinstance(value, bytes) else value


def number(token):
    """A token's leading integer, as the program reads it: blanks, a sign,
    digits; 0 when it starts otherwise."""
    match = re.match(r"\s*([+-]?\d+)", token)
    return int(match.group(1)) if match else 0


def address_key(address):
    parts = [number(t) & 0xFF for t in address.split(".") if t][:4]
    return ".".join("%03d" % p for p in parts + [0] * (4 - len(parts)))


class ListModel:
    """What the list should show: rows of (cells, checked, device), sorted
    as the program does, equal keys keeping their order."""

    def __init__(self, rows):
        self.rows = [{"cells": r["cells"], "checked": r["checked"], "device": d}
                     for r, d in zip(rows, DEVICES)]
        self.ascending = False
        self.all_checked = False

    def click(self, column):
        if column == 0:
            self.all_checked = not self.all_checked
            for row in self.rows:
                row["checked"] = self.all_checked
            return
        self.ascending = not self.ascending

        def key(row):
            if column == 1:
                return number(row["cells"][COLUMN_NO])
            if column == 3:
                return address_key(text(row["device"]["ip"]))
            return row["cells"][column]
        self.rows.sort(key=key, reverse=not self.ascending)

    def shows(self):
        return [(r["cells"], r["checked"]) for r in self.rows]


class Sorting(harness.ProgramTest):
    maxDiff = None

    def start(self):
        simulator = self.start_simulator(devices=DEVICES, options=["--spread", "0.7"])
        self.start_program()
        rows = self.rows()
        self.assertEqual([r["cells"][COLUMN_MAC_ADDRESS] for r in rows], [d["mac"] for d in DEVICES], "in arrival order")
        return simulator, ListModel(rows)

    def shown(self):
        return [(r["cells"], r["checked"]) for r in self.rows()]

    def check_panel(self, model, row):
        """A click on `row` shows the device that row displays."""
        device = model.rows[row]["device"]
        self.call("list-click", IDC_DEVICE_LIST, row)
        self.call("wait-text", IDC_WEB_PORT, str(device["webPort"]))
        self.assertEqual([self.text(IDC_MODEL_NAME), self.text(IDC_IP_ADDRESS), self.text(IDC_GATEWAY)],
                         [text(device["product"]), text(device["ip"]), device["gateway"]], "row %d" % row)

    def test_every_column_both_ways(self):
        _, model = self.start()
        # One direction for all data columns, turned by every click on one;
        # column 0 ticks, then clears, every row in place.
        for step, column in enumerate([2, 3, 0, 3, 4, 4, 0, 5, 5, 6, 6, 7, 7, 1, 1, 2]):
            self.call("header-click", IDC_DEVICE_LIST, column)
            model.click(column)
            where = "step %d: column %d %s" % (step, column, "ascending" if model.ascending else "descending")
            self.assertEqual(self.shown(), model.shows(), where)
            if step == 1:
                # By value, part by part; the rows with equal keys as they were.
                self.assertEqual([r["cells"][COLUMN_IP_ADDRESS] for r in self.rows()],
                                 ["192.168.0.10", "192.168.0.9.77", "192.168.0.9", "10.1", "10.0.0.45",
                                  "10.0.0.300", "9.200.1.1"])
            self.check_panel(model, step % len(DEVICES))
            if step == 6:
                # A tick moves with its row.
                self.call("list-check", IDC_DEVICE_LIST, 2, "on")
                model.rows[2]["checked"] = True

    def test_chosen_device_stays_chosen(self):
        simulator, model = self.start()
        chosen = DEVICES[1]
        self.call("list-click", IDC_DEVICE_LIST, 1)
        self.call("wait-text", IDC_MODEL_NAME, "alpha")
        for column in [4, 3, 2]:
            self.call("header-click", IDC_DEVICE_LIST, column)
            model.click(column)
        self.assertNotEqual(model.rows[1]["device"], chosen, "the chosen device moved")
        self.call("type", IDC_USER_ID, "admin")
        self.call("type", IDC_PASSWORD, "admin")
        self.call("click", IDC_SAVE)
        request = simulator.wait_received(command=SET_CONFIG, timeout=20)[0]["record"]
        self.assertEqual((request["macAddress"], request["productName"], request["ipAddress"], request["webPort"]),
                         (chosen["mac"], chosen["product"], chosen["ip"], chosen["webPort"]))
        self.message_box()
        self.answer("OK")


class ManyRows(harness.ProgramTest):
    def test_number_column_with_101_rows(self):
        self.start_simulator(count=101)
        self.start_program()
        self.call("wait-rows", IDC_DEVICE_LIST, 101)
        # By number: 100 and 101 come after 99, not between 10 and 11. The
        # address sort first puts the rows out of their numbers' order.
        self.call("header-click", IDC_DEVICE_LIST, COLUMN_IP_ADDRESS)
        self.call("header-click", IDC_DEVICE_LIST, COLUMN_IP_ADDRESS)
        self.assertNotEqual([int(r["cells"][COLUMN_NO]) for r in self.rows()], list(range(1, 102)))
        ascending = list(range(1, 102))
        for order in [ascending, ascending[::-1]]:
            self.call("header-click", IDC_DEVICE_LIST, COLUMN_NO)
            rows = self.rows()
            self.assertEqual([int(r["cells"][COLUMN_NO]) for r in rows], order)
            self.assertEqual([r["cells"][COLUMN_MAC_ADDRESS] for r in rows], ["00:1A:2B:00:00:%02X" % n for n in order])
        self.call("list-click", IDC_DEVICE_LIST, 91)
        self.call("wait-text", IDC_IP_ADDRESS, rows[91]["cells"][COLUMN_IP_ADDRESS])


class EmptyList(harness.ProgramTest):
    def test_header_click_on_an_empty_list_only_turns_the_flags(self):
        self.start_program()
        self.assertEqual(self.rows(), [])
        for column in [2, 0]:
            self.call("header-click", IDC_DEVICE_LIST, column)
        self.assertEqual(self.rows(), [])

        macs = ["00:1A:2B:00:00:02", "00:1A:2B:00:00:03", "00:1A:2B:00:00:01"]
        self.start_simulator(devices=[{"mac": mac} for mac in macs])
        self.search()
        self.call("wait-rows", IDC_DEVICE_LIST, 3)
        self.call("list-check", IDC_DEVICE_LIST, 1, "on")
        # The empty list's click sorted ascending, so this one goes down.
        self.call("header-click", IDC_DEVICE_LIST, COLUMN_MAC_ADDRESS)
        self.assertEqual([r["cells"][COLUMN_MAC_ADDRESS] for r in self.rows()], sorted(macs, reverse=True))
        # And column 0 ticked all, so this click clears all.
        self.call("header-click", IDC_DEVICE_LIST, COLUMN_CHECK_BOX)
        self.assertEqual([r["checked"] for r in self.rows()], [False] * 3)


if __name__ == "__main__":
    harness.main()
