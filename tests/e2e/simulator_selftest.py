"""Self-test of the device simulator and its helper, with plain UDP sockets
standing in for the program on the operator side.

    NW_NATIVE_BUILD_DIR=/path/to/native/build \\
        tools/testlan/testlan -- python3 tests/e2e/simulator_selftest.py
"""

import os
import select
import signal
import socket
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from simulator import (  # noqa: E402
    DEVICE_PORT, FACTORY_RESET, REBOOT, RECORD_SIZE, REPLY_PORT, RESULT_INVALID_ADDRESS, RESULT_INVALID_CONFIG,
    RESULT_INVALID_PORT, RESULT_LOGIN_FAILED, RESULT_OK, SEARCH, SEARCH_REPLY, SET_CONFIG, Simulator, make_record,
    parse_record, send_datagram)

OPERATOR_IP = os.environ.get("TESTLAN_OPERATOR_IP", "198.51.100.1")
DEVICE_IP = os.environ.get("TESTLAN_DEVICE_IP", "198.51.100.2")
TIME_LIMIT = 10.0

MAC24 = "ABCDEFGHIJKLMNOPQRSTUVWX"
FIRMWARE35 = "F" * 29 + "_20240"

# What the program would send to save these settings on device 00:1A:2B:00:00:01.
NEW_SETTINGS = dict(dhcp=1, ipAddress="198.51.100.77", subnetMask="255.255.0.0", gateway="198.51.100.1",
                    dns="198.51.100.9", webPort=8080, controlPort=9001, videoPort=9002, audioReceivePort=9003,
                    audioTransmitPort=9004, httpsEnabled=1)


def request(command, mac="00:1A:2B:00:00:01", user="admin", password="admin", **fields):
    return make_record(command, userId=user, password=password, macAddress=mac, **fields)


ETH_P_ARP = 0x0806
BROADCAST_MAC = b"\xff" * 6
# Runs what follows without CAP_NET_RAW, which root otherwise always has.
WITHOUT_RAW = ["setpriv", "--inh-caps=-net_raw", "--bounding-set=-net_raw"]


def mac_bytes(text):
    return bytes.fromhex(text.replace(":", ""))


class ArpAsker:
    """A raw ARP socket on this side's lan0: requests out, replies in."""

    def __init__(self):
        self.socket = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(ETH_P_ARP))
        self.socket.bind(("lan0", ETH_P_ARP))
        with open("/sys/class/net/lan0/address") as f:
            self.mac = mac_bytes(f.read().strip())

    def close(self):
        self.socket.close()

    def ask(self, target, sender=OPERATOR_IP, to=BROADCAST_MAC):
        arp = (b"\x00\x01\x08\x00\x06\x04\x00\x01" + self.mac + socket.inet_aton(sender) + bytes(6) +
               socket.inet_aton(target))
        self.socket.send(to + self.mac + b"\x08\x06" + arp)

    def replies(self, target, wait=1.0):
        """The frames that answered for `target` within `wait` seconds, as
        (Ethernet destination, Ethernet source, ARP sender MAC, target MAC,
        target address)."""
        found = []
        deadline = time.monotonic() + wait
        while (left := deadline - time.monotonic()) > 0:
            if not select.select([self.socket], [], [], left)[0]:
                break
            frame, where = self.socket.recvfrom(2048)
            if where[2] == socket.PACKET_OUTGOING or frame[20:22] != b"\x00\x02":
                continue
            if frame[28:32] == socket.inet_aton(target):
                found.append((frame[0:6], frame[6:12], frame[22:28], frame[32:38], socket.inet_ntoa(frame[38:42])))
        return found


class SimulatorSelfTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # The program's two endpoints: requests from adapter:40013, answers on 40014.
        cls.requests = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        cls.requests.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        cls.requests.bind((OPERATOR_IP, DEVICE_PORT))
        cls.replies = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        cls.replies.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
        cls.replies.bind(("", REPLY_PORT))

    @classmethod
    def tearDownClass(cls):
        cls.requests.close()
        cls.replies.close()

    def setUp(self):
        self.drain()

    def start(self, **kwargs):
        sim = Simulator(**kwargs).start()
        self.addCleanup(self.stop, sim)
        return sim

    def stop(self, sim):
        self.assertEqual(sim.stop(), 0, sim.output())
        self.assertTrue(sim.events("stop"), "the log ends with its stop line")

    def broadcast(self, record):
        self.requests.sendto(record, ("255.255.255.255", DEVICE_PORT))

    def drain(self):
        """Datagrams already waiting, without waiting for more."""
        waiting = []
        while select.select([self.replies], [], [], 0)[0]:
            waiting.append(self.replies.recvfrom(65535))
        return waiting

    def collect(self, count, timeout=TIME_LIMIT):
        """The next `count` datagrams on port 40014, as (bytes, sender)."""
        got = []
        deadline = time.monotonic() + timeout
        while len(got) < count:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.replies], [], [], left)[0]:
                self.fail(f"{len(got)} of {count} datagrams within {timeout} s")
            got.append(self.replies.recvfrom(65535))
        return got

    def search(self, sim, count):
        """Broadcasts a search and returns the parsed replies of `count` devices."""
        searches = len(sim.received(SEARCH))
        self.broadcast(make_record(SEARCH))
        replies = self.collect(count)
        sim.wait_received(searches + 1, command=SEARCH)
        return [parse_record(data) for data, _ in replies]

    def apply(self, record):
        """Sends a configuration request and returns the device's answer."""
        self.broadcast(record)
        (data, _), = self.collect(1)
        self.assertEqual(len(data), RECORD_SIZE)
        return parse_record(data)

    def test_search_gets_one_reply_per_device(self):
        sim = self.start(count=2, devices=[dict(mac=MAC24, productName="", firmwareVersion=FIRMWARE35, result=9),
                                           dict(mac="00:1a:2b:00:00:01")])
        self.broadcast(make_record(SEARCH))
        replies = self.collect(4)
        for data, sender in replies:
            self.assertEqual(len(data), RECORD_SIZE)
            self.assertEqual(sender, (DEVICE_IP, DEVICE_PORT))
            self.assertEqual(data[:4], bytes([SEARCH_REPLY, 0, 0, 0]))
        records = {parse_record(data)["macAddress"]: data for data, _ in replies}
        self.assertEqual(set(records), {"00:1A:2B:00:00:01", "00:1A:2B:00:00:02", MAC24, "00:1a:2b:00:00:01"})
        hostile = records[MAC24]
        self.assertEqual(hostile[72:96], MAC24.encode(), "24 characters and no NUL")
        self.assertEqual(hostile[96], 0, "then the empty product name")
        self.assertEqual(hostile[192:228], FIRMWARE35.encode() + b"\0")
        self.assertEqual(hostile[4], 9, "the result the device was given")

        heard, = sim.wait_received(command=SEARCH)
        self.assertEqual((heard["peer"], heard["peer_port"]), (OPERATOR_IP, DEVICE_PORT))
        self.assertEqual((heard["local_address"], heard["local_port"]), ("255.255.255.255", DEVICE_PORT))
        self.assertEqual(heard["length"], RECORD_SIZE)
        self.assertEqual(heard["hex"], make_record(SEARCH).hex())
        sent = sim.wait_sent(4, command=SEARCH_REPLY)
        self.assertEqual(sorted(e["device"] for e in sent), [0, 1, 2, 3])
        self.assertEqual({(e["peer"], e["peer_port"]) for e in sent}, {(OPERATOR_IP, REPLY_PORT)})
        self.assertEqual(self.drain(), [], "one reply per device, no more")

    def test_login_failure_gives_result_5_and_changes_nothing(self):
        sim = self.start(count=1, devices=[dict(password="secret")])
        for mac, password in [("00:1A:2B:00:00:01", "secret"), ("00:1A:2B:00:00:02", "admin")]:
            answer = self.apply(request(SET_CONFIG, mac, password=password, **NEW_SETTINGS))
            self.assertEqual((answer["command"], answer["result"]), (SET_CONFIG, RESULT_LOGIN_FAILED))
            self.assertEqual(answer["macAddress"], mac)
        verdicts = sim.wait_event("config", 2)
        self.assertEqual([(v["device"], v["result"], v["applied"]) for v in verdicts],
                         [(0, RESULT_LOGIN_FAILED, False), (1, RESULT_LOGIN_FAILED, False)])
        for reply in self.search(sim, 2):
            self.assertNotEqual(reply["ipAddress"], NEW_SETTINGS["ipAddress"])

    def test_save_changes_the_next_search_reply(self):
        sim = self.start(count=2)
        answer = self.apply(request(SET_CONFIG, **NEW_SETTINGS))
        self.assertEqual((answer["command"], answer["result"], answer["macAddress"]),
                         (SET_CONFIG, RESULT_OK, "00:1A:2B:00:00:01"))
        replies = {r["macAddress"]: r for r in self.search(sim, 2)}
        changed = replies["00:1A:2B:00:00:01"]
        for key, value in NEW_SETTINGS.items():
            self.assertEqual(changed[key], value, key)
        self.assertEqual(changed["productName"], "SimCam-0001")
        self.assertEqual(replies["00:1A:2B:00:00:02"]["ipAddress"], "198.51.100.101")

    def test_settings_a_device_refuses(self):
        sim = self.start(count=1)
        cases = [
            ("IP 0.0.0.0", dict(NEW_SETTINGS, ipAddress="0.0.0.0"), RESULT_INVALID_ADDRESS),
            ("mask not dotted", dict(NEW_SETTINGS, subnetMask="255.255.0"), RESULT_INVALID_ADDRESS),
            ("web port 0", dict(NEW_SETTINGS, webPort=0), RESULT_INVALID_PORT),
            ("equal ports", dict(NEW_SETTINGS, videoPort=8080), RESULT_INVALID_PORT),
            ("dhcp of no radio checked", dict(NEW_SETTINGS, dhcp=-1), RESULT_INVALID_CONFIG),
        ]
        for name, settings, result in cases:
            with self.subTest(name):
                self.assertEqual(self.apply(request(SET_CONFIG, **settings))["result"], result)
        self.assertEqual(self.search(sim, 1)[0]["ipAddress"], "198.51.100.100")

    def test_reboot_silence_then_back(self):
        sim = self.start(count=2, options=["--reboot-time", "1.5"])
        self.broadcast(request(REBOOT, password="wrong"))
        sim.wait_event("refused", device=0, command=REBOOT)
        self.assertEqual(len(self.search(sim, 2)), 2, "wrong credentials: no reboot")

        self.broadcast(request(REBOOT))
        reboot, = sim.wait_event("reboot", device=0)
        replies = self.search(sim, 1)
        self.assertEqual(replies[0]["macAddress"], "00:1A:2B:00:00:02")
        sim.wait_event("quiet", device=0, command=SEARCH, reason="rebooting")
        self.broadcast(request(SET_CONFIG, **NEW_SETTINGS))
        sim.wait_event("quiet", device=0, command=SET_CONFIG, reason="rebooting")
        self.assertEqual(self.drain(), [], "silent while rebooting")

        back, = sim.wait_event("back", device=0, timeout=TIME_LIMIT)
        self.assertGreaterEqual(back["mono"], reboot["until"])
        self.assertEqual(len(self.search(sim, 2)), 2)

    def test_factory_reset_restores_the_first_settings(self):
        sim = self.start(devices=[dict(ip="198.51.100.50", https=1)], options=["--reboot-time", "0.5"])
        self.assertEqual(self.apply(request(SET_CONFIG, **NEW_SETTINGS))["result"], RESULT_OK)
        self.broadcast(request(REBOOT))
        sim.wait_event("back")
        self.assertEqual(self.search(sim, 1)[0]["ipAddress"], NEW_SETTINGS["ipAddress"], "a reboot keeps them")

        self.broadcast(request(FACTORY_RESET))
        sim.wait_event("factory-reset")
        sim.wait_event("back", 2)
        reply = self.search(sim, 1)[0]
        self.assertEqual((reply["ipAddress"], reply["httpsEnabled"], reply["webPort"], reply["dhcp"]),
                         ("198.51.100.50", 1, 80, 0))

    def test_late_and_broadcast_replies(self):
        sim = self.start(count=1, devices=[dict(delay=1.2)], options=["--broadcast"])
        asked = time.monotonic()
        self.broadcast(make_record(SEARCH))
        first, = self.collect(1)
        second, = self.collect(1)
        self.assertGreaterEqual(time.monotonic() - asked, 1.2)
        self.assertEqual([parse_record(d)["macAddress"] for d, _ in (first, second)],
                         ["00:1A:2B:00:00:01", "00:1A:2B:00:00:02"])
        sent = sim.wait_sent(2, command=SEARCH_REPLY)
        self.assertEqual({e["peer"] for e in sent}, {"255.255.255.255"})

    def test_devices_answer_arp_for_their_addresses_from_their_own_macs(self):
        # Stopped here, for its count of replies.
        sim = Simulator(count=1, devices=[dict(mac="00:1A:2B:00:00:09", ip="198.51.100.100"),
                                          dict(mac=MAC24, ip="198.51.100.50"), dict(ip="198.51.100.51", silent=1)])
        sim.start()
        self.addCleanup(sim.stop)
        self.assertEqual(sim.events("ready")[0]["arp"], "lan0")
        self.assertIn("ARP answered on lan0", sim.output())
        asker = ArpAsker()
        self.addCleanup(asker.close)
        first, ninth = mac_bytes("00:1A:2B:00:00:01"), mac_bytes("00:1A:2B:00:00:09")
        # From this side's address, and as a probe from 0.0.0.0: to the
        # asker alone, from each device's own MAC, two devices a conflict.
        for sender in (OPERATOR_IP, "0.0.0.0"):
            with self.subTest(sender=sender):
                asker.ask("198.51.100.100", sender)
                self.assertEqual(sorted(asker.replies("198.51.100.100")),
                                 sorted((asker.mac, mac, mac, asker.mac, sender) for mac in (first, ninth)))
        # Unicast to one device: that one alone.
        asker.ask("198.51.100.100", to=ninth)
        self.assertEqual([reply[1] for reply in asker.replies("198.51.100.100")], [ninth])
        # A MAC text that is no MAC answers nothing; a device silent to the
        # search is still on the network.
        asker.ask("198.51.100.50")
        self.assertEqual(asker.replies("198.51.100.50"), [])
        asker.ask("198.51.100.51")
        self.assertEqual([reply[1] for reply in asker.replies("198.51.100.51")], [mac_bytes("00:1A:2B:00:00:04")])

        # After a Save the device answers for its new address only.
        self.assertEqual(self.apply(request(SET_CONFIG, **NEW_SETTINGS))["result"], RESULT_OK)
        asker.ask(NEW_SETTINGS["ipAddress"])
        self.assertEqual([reply[1] for reply in asker.replies(NEW_SETTINGS["ipAddress"])], [first])
        asker.ask("198.51.100.100")
        self.assertEqual([reply[1] for reply in asker.replies("198.51.100.100")], [ninth])
        self.assertEqual(sim.stop(), 0)
        self.assertEqual(sim.events("stop")[0]["arp_replies"], 8)

    def test_arp_off_and_without_the_raw_right(self):
        sim = self.start(count=1, arp=False)
        self.assertEqual(sim.events("ready")[0]["arp"], "")
        asker = ArpAsker()
        self.addCleanup(asker.close)
        asker.ask("198.51.100.100")
        self.assertEqual(asker.replies("198.51.100.100"), [])

        on_device = os.environ["TESTLAN_ON_DEVICE"]
        serve = [on_device, *WITHOUT_RAW, sim.binary, "serve", "--devices", "1"]
        asked = subprocess.run(serve + ["--arp"], capture_output=True, text=True, timeout=TIME_LIMIT)
        self.assertEqual((asked.returncode, asked.stdout), (1, ""))
        self.assertEqual(asked.stderr, "nwsim: cannot open a packet socket: Operation not permitted (answering ARP "
                                       "needs the raw packet right, CAP_NET_RAW)\n")
        process = subprocess.Popen(serve + ["--port", "41013"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                   text=True)
        try:
            said = [process.stdout.readline(), process.stdout.readline()]
        finally:
            process.terminate()
            process.wait(TIME_LIMIT)
        self.assertEqual(said, ["nwsim: the devices will not answer ARP: cannot open a packet socket: Operation not "
                                "permitted (answering ARP needs the raw packet right, CAP_NET_RAW)\n",
                                "nwsim: ready: 1 devices on 0.0.0.0:41013, replies to port 40014, no ARP answered\n"])

    def test_each_datagram_is_stamped_when_it_arrived(self):
        # Read late, as on a loaded machine: both wait in the socket's queue
        # while the simulator is stopped, a fifth of a second apart.
        sim = self.start(count=1)
        sim.process.send_signal(signal.SIGSTOP)
        try:
            sent = []
            for marker in (b"nw-first", b"nw-second"):
                sent.append(time.monotonic())
                self.requests.sendto(marker, (DEVICE_IP, DEVICE_PORT))
                time.sleep(0.2)
        finally:
            sim.process.send_signal(signal.SIGCONT)
        first, second = (sim.wait_received(hex=m.hex())[0] for m in (b"nw-first", b"nw-second"))
        self.assertGreaterEqual(second["mono"] - first["mono"], 0.19)
        self.assertLess(first["mono"], sent[1])
        self.assertGreaterEqual(first["mono"], sent[0])

    def test_one_shot_sender(self):
        for size in (4, RECORD_SIZE, RECORD_SIZE + 1, 400):
            with self.subTest(size=size):
                send_datagram(OPERATOR_IP, size=size, pad=0xEE, command=SET_CONFIG, result=7,
                              macAddress=b"AB\0CD", ipAddress="198.51.100.9")
                (data, sender), = self.collect(1)
                self.assertEqual(len(data), size)
                self.assertEqual(sender[0], DEVICE_IP)
                expected = make_record(SET_CONFIG, result=7, macAddress=b"AB\0CD", ipAddress="198.51.100.9")
                self.assertEqual(data[:RECORD_SIZE], expected[:size])
                self.assertEqual(data[RECORD_SIZE:], b"\xee" * (size - RECORD_SIZE))
        send_datagram(OPERATOR_IP, raw=b"\x04\x00", repeat=3)
        self.assertEqual([d for d, _ in self.collect(3)], [b"\x04\x00"] * 3)


if __name__ == "__main__":
    unittest.main(verbosity=2)
