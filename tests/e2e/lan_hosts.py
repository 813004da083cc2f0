"""Other hosts on the device side of the private test LAN: a PC, a printer or
another maker's camera that answers ARP but not the device search.

    with LanHost("02:00:5e:10:00:07", ["198.51.100.31"]) as host:
        ...  # ARP for 198.51.100.31 is answered by 02:00:5e:10:00:07

Each host is a macvlan in bridge mode on the device side's lan0, with its own
MAC and its addresses as /32 (no routes of its own, so the simulator's
traffic leaves as before). The device namespace answers ARP only on the
interface that holds the address asked for (arp_ignore=1); without that
every interface answers for every address of the namespace, and one probe
would see several MACs where a real LAN has one. Its own ARP requests
carry the address of the interface they leave by (arp_announce=2): its
answers to a host's traffic (an ICMP error, say) leave by lan0, and asked
from the host's address with lan0's MAC they would teach the operator side
that lan0 holds it. Two hosts holding one address make a real conflict:
both answer. The simulated devices answer ARP for their own addresses
(nwsim), so a host on a device's address is in conflict with it, as a PC
on a camera's address is on site.

Only under tools/testlan/testlan: everything runs through $TESTLAN_ON_DEVICE.
"""

import itertools
import os
import subprocess

_names = itertools.count()


def _on_device(*args):
    on_device = os.environ.get("TESTLAN_ON_DEVICE")
    if not on_device:
        raise RuntimeError("lan_hosts needs the private test LAN (tools/testlan/testlan)")
    subprocess.run([on_device, *args], check=True, stdout=subprocess.DEVNULL)


class LanHost:
    def __init__(self, mac, addresses=(), lower="lan0"):
        self.mac = mac.lower()
        self.addresses = []
        self.name = "host%d" % next(_names)
        self._lower = lower
        self._wanted = list(addresses)

    def __enter__(self):
        _on_device("sysctl", "-qw", "net.ipv4.conf.all.arp_ignore=1")
        _on_device("sysctl", "-qw", "net.ipv4.conf.all.arp_announce=2")
        _on_device("ip", "link", "add", self.name, "link", self._lower, "type", "macvlan", "mode", "bridge")
        try:
            _on_device("ip", "link", "set", self.name, "address", self.mac)
            _on_device("ip", "link", "set", self.name, "up")
            for address in self._wanted:
                self.add(address)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def add(self, address):
        _on_device("ip", "addr", "add", address + "/32", "dev", self.name)
        self.addresses.append(address)

    def remove(self, address):
        _on_device("ip", "addr", "del", address + "/32", "dev", self.name)
        self.addresses.remove(address)

    def close(self):
        subprocess.run([os.environ["TESTLAN_ON_DEVICE"], "ip", "link", "del", self.name],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addresses = []
