#!/usr/bin/env python3
"""The network changing under the program: the adapter goes away during a
search and comes back, and a flood fills the receive buffer. The program
says what it could not send, loses nothing it was told, and its next search
works. (A receive port taken at start-up is the main window's test.)

    NW_BUILD_DIR=/path/to/windows/build NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan -- python3 tests/e2e/test_network_changes.py
"""

import os
import re
import signal

import harness
from harness import IDC_DEVICE_LIST, IDC_SEARCH, OPERATOR_IP
from simulator import SEARCH, send_datagram

DEVICES = 4
UNSENT = re.compile(r'Failed\. ([1-5]) of 5 search requests could not be sent: the network adapter may be gone\.\n'
                    r'The list may lack devices\. Press "Search" again once the adapter is back\.')


def receive_buffer_drops():
    """Datagrams this side's kernel dropped for a full receive buffer."""
    with open("/proc/net/snmp") as snmp:
        lines = [line.split() for line in snmp if line.startswith("Udp:")]
    return int(lines[1][lines[0].index("RcvbufErrors")])


class NetworkChanges(harness.ProgramTest):
    def test_adapter_gone_during_a_search_and_back(self):
        simulator = self.start_simulator(count=DEVICES)
        self.start_program()
        self.call("wait-rows", IDC_DEVICE_LIST, DEVICES)
        addresses = harness.lan_addresses()
        self.addCleanup(harness.restore_lan, addresses)

        requests = len(simulator.received(command=SEARCH))
        self.call("click", IDC_SEARCH)
        simulator.wait_received(requests + 1, command=SEARCH, timeout=20)
        harness.ip("link", "set", "lan0", "down")
        self.call("wait-window", "wait", "hidden", "--timeout", harness.SEARCH_LIMIT_MS)
        box = self.message_box()
        match = UNSENT.fullmatch(box["text"])
        self.assertTrue(match, "the search says what it could not send: %r" % box["text"])
        self.assertEqual(box["icon"], "exclamation")
        self.answer("OK")
        sent = len(simulator.received(command=SEARCH)) - requests
        self.assertEqual(sent + int(match.group(1)), 5, "every request went out or was counted")

        harness.restore_lan(addresses)
        self.search()
        self.call("wait-rows", IDC_DEVICE_LIST, DEVICES)
        self.sync_replies()
        self.assert_no_message_box()

    def test_a_full_receive_buffer_loses_only_datagrams(self):
        self.start_simulator(count=DEVICES)
        self.start_program()
        before = receive_buffer_drops()
        # Far more than the receive buffer holds, while the program is held
        # still and reads nothing: the kernel drops the rest.
        os.kill(self.program.process.pid, signal.SIGSTOP)
        try:
            send_datagram(OPERATOR_IP, raw=bytes([0xEE]) * 1400, repeat=40000, timeout=120)
        finally:
            os.kill(self.program.process.pid, signal.SIGCONT)
        harness.wait_until(lambda: harness.reply_queue_bytes() == 0, 60, "the program to read what was kept")
        self.assertGreater(receive_buffer_drops(), before, "the flood overran the receive buffer")

        self.search()
        self.call("wait-rows", IDC_DEVICE_LIST, DEVICES)
        self.sync_replies()
        self.assert_no_message_box()
        self.assertTrue(self.program.running())


if __name__ == "__main__":
    harness.main()
