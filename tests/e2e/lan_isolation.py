#!/usr/bin/env python3
"""The private test LAN keeps Wine's sockets in the operator namespace.

Run outside the LAN: it listens on the machine's own loopback (and, when the
port is free, on the machine's port 40013), then runs its inner half inside
testlan, where a Winsock probe under Wine sends a datagram to 127.0.0.1 and a
broadcast to 255.255.255.255:40013. The first must reach a listener on the
operator namespace's loopback and not the machine's; the second must reach a
listener on the device side and nothing on the machine.
"""

import fcntl
import os
import select
import socket
import subprocess
import sys
import time

from windows_build import ARCH, BUILD_DIR, SOURCE_DIR, wine

PROBE = os.path.join(BUILD_DIR, "bin", "probe.exe")
TESTLAN = os.path.join(SOURCE_DIR, "tools", "testlan", "testlan")


def receive(sock, timeout):
    """One datagram (data, sender) or None when nothing came within timeout."""
    ready, _, _ = select.select([sock], [], [], timeout)
    return sock.recvfrom(2048) if ready else None


def check(condition, message):
    if not condition:
        print("FAIL: " + message)
        sys.exit(1)
    print("ok: " + message)


# Held while the machine's port 40013 is listened on: another build's suite
# may run this test at the same time, and would find the port taken.
PORT_LOCK = "/run/lock/nodewright-lan-isolation.lock"


def outer():
    lock = open(PORT_LOCK, "w")
    fcntl.flock(lock, fcntl.LOCK_EX)
    own_loopback = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    own_loopback.bind(("127.0.0.1", 0))
    port = own_loopback.getsockname()[1]
    own_broadcast = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        own_broadcast.bind(("0.0.0.0", 40013))
    except OSError as error:
        print("note: port 40013 of this machine is in use (%s); checking the loopback only" % error)
        own_broadcast = None

    arch = ["--arch", ARCH] if ARCH else []
    inner = subprocess.run([TESTLAN, "--quiet", *arch, "--loopback", "--", sys.executable, os.path.abspath(__file__),
                            "--inside", str(port)])
    check(inner.returncode == 0, "the inner half passed inside the test LAN")
    # Anything that leaked would have arrived alongside the copies the inner
    # half already saw; a short grace period covers scheduling.
    check(receive(own_loopback, 0.5) is None, "nothing reached the machine's own loopback port %d" % port)
    if own_broadcast is not None:
        check(receive(own_broadcast, 0.5) is None, "nothing reached the machine's own port 40013")


DEVICE_LISTENER = """
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("0.0.0.0", 40013))
print("ready", flush=True)
s.settimeout(30)
data, sender = s.recvfrom(2048)
print(data.decode(), sender[0], sender[1], flush=True)
"""


def wine_probe(*args):
    result = subprocess.run(wine(PROBE, *args), capture_output=True, text=True, timeout=60)
    print("probe %s: %s%s" % (" ".join(args), result.stdout, result.stderr), end="")
    return result.returncode


def inner(port):
    operator_loopback = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    operator_loopback.bind(("127.0.0.1", port))
    device = subprocess.Popen([os.environ["TESTLAN_ON_DEVICE"], sys.executable, "-c", DEVICE_LISTENER],
                              stdout=subprocess.PIPE, text=True)
    check(device.stdout.readline().strip() == "ready", "a listener runs on the device side's port 40013")

    token = "loopback-%d" % time.monotonic_ns()
    check(wine_probe("send", "127.0.0.1", str(port), token) == 0, "the probe sent to 127.0.0.1:%d" % port)
    got = receive(operator_loopback, 10)
    check(got is not None and got[0].decode() == token, "the operator namespace's loopback listener received it")

    token = "broadcast-%d" % time.monotonic_ns()
    check(wine_probe("broadcast", "40013", token) == 0, "the probe broadcast to 255.255.255.255:40013")
    try:
        line, _ = device.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        device.kill()
        line = ""
    fields = line.split()
    check(len(fields) == 3 and fields[0] == token, "the device side received the broadcast")
    check(fields[1] == "198.51.100.1", "it came from the operator side's LAN address")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--inside":
        inner(int(sys.argv[2]))
    else:
        outer()
