"""The device simulator (nwsim) for end-to-end tests.

Runs nwsim on the device side of the private test LAN (through
$TESTLAN_ON_DEVICE, so only under tools/testlan/testlan), waits for it to be
ready, reads its JSON log and waits for conditions in it with a time limit.
Also builds and reads 371-byte records for tests that talk to devices or to
the program themselves.

    with Simulator(count=3, options=["--reboot-time", "1"]) as sim:
        ...
        sim.wait_received(command=3)
        replies = sim.sent(command=4)

Texts in the log are written one character per byte (U+0000 to U+00FF);
compare with bytes, or with str for plain ASCII.
"""

import hashlib
import json
import os
import signal
import subprocess
import sys
import tempfile
import time

from record_layout import FIELDS, RECORD_SIZE, parse_record, put_field  # noqa: F401 (re-exported)

DEVICE_PORT = 40013
REPLY_PORT = 40014

SEARCH = 3
SEARCH_REPLY = 4
SET_CONFIG = 5
REBOOT = 6
FACTORY_RESET = 7

RESULT_OK = 0
RESULT_FAILED = 1
RESULT_INVALID_ADDRESS = 2
RESULT_INVALID_PORT = 3
RESULT_INVALID_CONFIG = 4
RESULT_LOGIN_FAILED = 5


class SimulatorError(Exception):
    pass


def _as_bytes(value):
    return value if isinstance(value, bytes) else str(value).encode("latin-1")


def password_digest(password):
    """The 32-byte field the program sends: MD5 of at most 31 bytes of the
    password and a NUL, then 16 zero bytes."""
    text = _as_bytes(password).split(b"\0", 1)[0][:31]
    return hashlib.md5(text + b"\0").digest() + bytes(16)


def make_record(command=0, password=None, **fields):
    """A 371-byte record: zero, then `command`, the given fields (texts as
    str or bytes, zero-filled, cut at the field's width) and, if given, the
    digest of `password`."""
    record = bytearray(RECORD_SIZE)
    fields["command"] = command
    if password is not None:
        fields["passwordDigest"] = password_digest(password)
    for name, value in fields.items():
        put_field(record, name, value)
    return bytes(record)


def nwsim_path():
    """nwsim of the native build that NW_NATIVE_BUILD_DIR names, by default the
    native preset's build of this checkout."""
    source = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    build = os.environ.get("NW_NATIVE_BUILD_DIR") or os.path.join(source, "build", "native")
    path = os.path.join(build, "bin", "nwsim")
    if not os.access(path, os.X_OK):
        raise SimulatorError(f"{path} is missing: build the native configuration first")
    return path


def _on_device():
    on_device = os.environ.get("TESTLAN_ON_DEVICE")
    if not on_device:
        raise SimulatorError("TESTLAN_ON_DEVICE is not set: run under tools/testlan/testlan")
    return on_device


_SENDER = """
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
print("ready", flush=True)
for line in sys.stdin:
    address, port, data = line.split()
    s.sendto(bytes.fromhex(data), (address, int(port)))
    print("sent", flush=True)
"""


class DeviceSender:
    """Sends datagrams from the device side the moment it is asked: its
    process starts ahead, as starting one (nwsim send) may take seconds on a
    loaded machine, longer than a search listens.

        with DeviceSender() as sender:
            sender.send(datagram, "198.51.100.1")
    """

    def __init__(self):
        self.process = subprocess.Popen([_on_device(), sys.executable, "-c", _SENDER], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        if self.process.stdout.readline().strip() != "ready":
            raise SimulatorError("the device-side sender did not start")

    def send(self, data, to, port=REPLY_PORT):
        self.process.stdin.write("%s %d %s\n" % (to, port, bytes(data).hex()))
        self.process.stdin.flush()
        if self.process.stdout.readline().strip() != "sent":
            raise SimulatorError("the device-side sender ended (%s)" % self.process.poll())

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)
        self.process.stdout.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def _setting(key, value):
    """One key=value of --device; bytes, and texts with commas, blanks or
    bytes outside printable ASCII, go as KEY.hex so that they arrive exact."""
    if isinstance(value, bool):
        return f"{key}={int(value)}"
    if isinstance(value, int):
        return f"{key}={value}"
    if isinstance(value, float):
        return f"{key}={value:.6f}"
    raw = _as_bytes(value)
    plain = all(0x20 < b < 0x7F for b in raw) and b"," not in raw
    return f"{key}={raw.decode('ascii')}" if plain and raw else f"{key}.hex={raw.hex()}"


def device_argument(settings):
    """The value of --device for a dict of device keys."""
    return ",".join(_setting(k, v) for k, v in settings.items())


def send_arguments(fields):
    """--KEY VALUE pairs of `nwsim send` for a dict of record fields."""
    args = []
    for key, value in fields.items():
        if isinstance(value, bytes):
            args += [f"--{key}.hex", value.hex()]
        else:
            args += [f"--{key}", str(int(value) if isinstance(value, bool) else value)]
    return args


def _matches(entry, match):
    record = entry.get("record", {})
    for key, expected in match.items():
        if key in entry:
            actual = entry[key]
        elif key in record:
            actual = record[key]
        else:
            return False
        if callable(expected):
            if not expected(actual):
                return False
        elif isinstance(expected, bytes):
            if not isinstance(actual, str) or actual.encode("latin-1") != expected:
                return False
        elif actual != expected:
            return False
    return True


def send_datagram(to, port=REPLY_PORT, *, size=None, repeat=1, interval=None, raw=None, pad=None,
                  from_port=None, log=None, timeout=30, **fields):
    """Runs `nwsim send` on the device side: one datagram built from record
    `fields` (or `raw` bytes), cut or padded to `size`, sent `repeat` times.
    Returns its standard output; raises on failure."""
    argv = [_on_device(), nwsim_path(), "send", "--to", to, "--port", str(port)]
    if size is not None:
        argv += ["--size", str(size)]
    if pad is not None:
        argv += ["--pad", str(pad)]
    if raw is not None:
        argv += ["--raw", bytes(raw).hex()]
    if repeat != 1:
        argv += ["--repeat", str(repeat)]
    if interval is not None:
        argv += ["--interval", str(interval)]
    if from_port is not None:
        argv += ["--from-port", str(from_port)]
    if log is not None:
        argv += ["--log", log]
    argv += send_arguments(fields)
    done = subprocess.run(argv, capture_output=True, text=True, timeout=timeout)
    if done.returncode != 0:
        raise SimulatorError(f"nwsim send failed ({done.returncode}): {done.stderr.strip()}")
    return done.stdout


class Simulator:
    """One nwsim serving on the device side, with its log.

    devices: dicts of device keys (see `nwsim --help`), one --device each;
    count: patterned devices before them (--devices); config: a description
    file; options: further serve options, e.g. ["--reboot-time", "1"].
    arp: the devices answer ARP for their addresses from their own MACs, as
    cameras on site do: None where the raw packet right allows (nwsim's
    default), True or nwsim fails (--arp), False never (--no-arp), for a
    test that needs the devices silent on ARP."""

    def __init__(self, devices=(), count=0, config=None, options=(), log_path=None, binary=None, arp=None):
        self.binary = binary or nwsim_path()
        if log_path is None:
            folder = tempfile.mkdtemp(prefix="nwsim-", dir=os.environ.get("TESTLAN_DIR"))
            log_path = os.path.join(folder, "nwsim.log")
        self.log_path = log_path
        self.args = []
        if count:
            self.args += ["--devices", str(count)]
        for device in devices:
            self.args += ["--device", device_argument(device)]
        if config is not None:
            self.args += ["--config", config]
        if arp is not None:
            self.args.append("--arp" if arp else "--no-arp")
        self.args += list(options)
        self.process = None
        self._entries = []
        self._offset = 0
        self._partial = b""
        self._output = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def start(self, timeout=10.0):
        """Starts nwsim and waits for its ready line."""
        argv = [_on_device(), self.binary, "serve", "--log", self.log_path] + self.args
        self._output = open(self.log_path + ".out", "wb")
        self.process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=self._output,
                                        stderr=subprocess.STDOUT)
        try:
            self.wait_event("ready", timeout=timeout)
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self, timeout=10.0):
        """SIGTERM, then waits for it to end; returns its exit status."""
        if self.process is None:
            return None
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
                raise SimulatorError(f"nwsim did not stop within {timeout} s of SIGTERM")
        self._output.close()
        status = self.process.returncode
        self.process = None
        return status

    def output(self):
        """What nwsim printed (standard output and error)."""
        with open(self.log_path + ".out", "rb") as f:
            return f.read().decode("utf-8", "replace")

    def entries(self):
        """Every log line written so far, parsed."""
        try:
            with open(self.log_path, "rb") as f:
                f.seek(self._offset)
                chunk = f.read()
        except FileNotFoundError:
            return self._entries
        self._offset += len(chunk)
        lines = (self._partial + chunk).split(b"\n")
        self._partial = lines.pop()  # an unfinished line waits for its end
        self._entries += [json.loads(line) for line in lines if line]
        return self._entries

    def received(self, command=None, **match):
        """Datagrams received, optionally only those with this command and
        these values (top-level keys or record fields)."""
        return self._datagrams("in", command, match)

    def sent(self, command=None, **match):
        """Datagrams sent, filtered like received()."""
        return self._datagrams("out", command, match)

    def events(self, name=None, **match):
        return [e for e in self.entries()
                if "event" in e and (name is None or e["event"] == name) and _matches(e, match)]

    def _datagrams(self, direction, command, match):
        if command is not None:
            match = dict(match, command=command)
        return [e for e in self.entries() if e.get("dir") == direction and _matches(e, match)]

    def wait_for(self, find, timeout=10.0, what="a condition"):
        """Calls find() until it returns something truthy, which it returns;
        raises if the time runs out or nwsim ends."""
        deadline = time.monotonic() + timeout
        while True:
            found = find()
            if found:
                return found
            if self.process is not None and self.process.poll() is not None:
                raise SimulatorError(f"nwsim ended ({self.process.returncode}) while waiting for {what}: "
                                     f"{self.output().strip()}")
            if time.monotonic() >= deadline:
                raise SimulatorError(f"no {what} within {timeout} s")
            time.sleep(0.02)

    def wait_received(self, count=1, timeout=10.0, command=None, **match):
        return self._wait_count(lambda: self.received(command, **match), count, timeout,
                                f"received datagram {command=} {match}")

    def wait_sent(self, count=1, timeout=10.0, command=None, **match):
        return self._wait_count(lambda: self.sent(command, **match), count, timeout,
                                f"sent datagram {command=} {match}")

    def wait_event(self, name, count=1, timeout=10.0, **match):
        return self._wait_count(lambda: self.events(name, **match), count, timeout, f"event {name} {match}")

    def _wait_count(self, find, count, timeout, what):
        def enough():
            found = find()
            return found if len(found) >= count else None
        return self.wait_for(enough, timeout, f"{count} x {what}")

    def send(self, to, port=REPLY_PORT, **kwargs):
        """The one-shot sender (send_datagram), on the device side."""
        return send_datagram(to, port, **kwargs)
