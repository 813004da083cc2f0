#!/usr/bin/env python3
"""Writes the datagram fuzzer's seed corpus: one file per datagram.

The seeds are search replies like the simulator's devices, apply replies, and
the hostile records the unit and end-to-end tests use: texts that fill their
fields without a NUL, control characters, blanks, quotes, backslashes and
dashes, double-byte text, odd addresses and firmware dates, and datagrams
shorter and longer than a record. The fuzzer reads the operator's User ID
from the reply's `userId` and the Password from its `passwordDigest` bytes,
so those fields carry typed texts here.

usage: make_corpus.py [FOLDER]   (default: corpus/ beside this script)
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "e2e"))
from record_layout import RECORD_SIZE, put_field  # noqa: E402

SEARCH, SEARCH_REPLY, SET_CONFIG, REBOOT, FACTORY_RESET = 3, 4, 5, 6, 7


def record(**fields):
    """A whole record: zero, then each field given, by its name in the
    record; a text is zero-filled and cut at its field's width."""
    data = bytearray(RECORD_SIZE)
    for name, value in fields.items():
        put_field(data, name, value)
    return bytes(data)


def simulated(index, **fields):
    """The simulator's patterned device number `index` (from 0), as it
    answers a search."""
    serial = index + 1
    device = dict(
        command=SEARCH_REPLY, result=0,
        macAddress="00:1A:2B:%02X:%02X:%02X" % (serial >> 16 & 0xFF, serial >> 8 & 0xFF, serial & 0xFF),
        productName="SimCam-%04u" % serial, manufacturer="Nodewright Lab", deviceName="cam-%04u" % serial,
        firmwareVersion="1.4.2_20240115", ipAddress="198.51.100.%u" % (100 + index), subnetMask="255.255.255.0",
        gateway="198.51.100.254", dns="198.51.100.253", dhcp=0, webPort=80, controlPort=30001,
        videoPort=30002, audioReceivePort=30003, audioTransmitPort=30004, httpsEnabled=0)
    device.update(fields)
    return record(**device)


def seeds():
    yield "sim-0001", simulated(0)
    yield "sim-0008", simulated(7)
    yield "sim-0001-operator", simulated(0, userId="admin", passwordDigest="s3cret")

    # Firmware versions around the date rule.
    firmwares = [
        b"V1.2.3_20220807", b"V1.2.3_20220806", b"V1.2.3_build_20220807", b"V1.2.3_20220807_beta", b"20220807",
        b"_20220807", b"", b"____", b"V1_ 20220807", b"V1_+20220807", b"V1_2022-08-07", b"V1_-20220807",
        b"V1_99999999999", b"V1_-99999999999", b"V1_0x20220807", b"V1_" + b"x" * 20 + b"_20220807",
        b"V1_" + b"x" * 21 + b"_20220807", b"V1_20220807" + b"_" * 21 + b"beta", b"V2_20230101" + b"_" * 25,
        b"V1_20220806\0_20220807",
    ]
    for n, firmware in enumerate(firmwares):
        yield "firmware-%02d" % n, simulated(n, firmwareVersion=firmware, deviceName="Lobby")

    # Texts that fill their fields, and empty ones.
    yield "mac-24-no-nul", simulated(1, macAddress=b"ABCDEFGHIJKLMNOPQRSTUVWX", productName=b"P" * 32)
    yield "texts-full-width", simulated(2, productName=b"Q" * 32, manufacturer=b"M" * 32, deviceName=b"N" * 32,
                                        ipAddress=b"198.51.100.209" + b"9" * 18, firmwareVersion=b"F" * 36,
                                        subnetMask=b"S" * 32, gateway=b"G" * 32, dns=b"D" * 32, userId=b"U" * 32,
                                        passwordDigest=b"W" * 32)
    yield "texts-empty", simulated(3, macAddress=b"", ipAddress=b"", productName=b"", manufacturer=b"",
                                   firmwareVersion=b"", deviceName=b"")
    yield "every-byte-ff", b"\x04\x00\x00\x00" + b"\xff" * (RECORD_SIZE - 4)
    yield "every-byte-a", b"\x04\x00\x00\x00" + b"a" * (RECORD_SIZE - 4)

    # Control characters, blanks, quotes, commas and dashes.
    yield "control-chars", simulated(4, productName=b"a\nb\rc\r\n", macAddress=b"\r\n00:1A", ipAddress=b"1.2.3.4\n",
                                     manufacturer=b"\t\x01\x7f", firmwareVersion=b"V1_\n20220807")
    yield "quotes-commas", simulated(5, productName=b"Cam\xe9ra, \"quoted\"", manufacturer=b"Make,r")
    for n, ip in enumerate([b"198.51.100.43 -new-window", b"-url 198.51.100.44", b" 198.51.100.45",
                            b"198.51.100.300", b"198.51.100", b"198.051.100.46", b"198.51.100.47\t",
                            bytes(range(0x80, 0x9F)), b"10.0.0.300", b"10.1", b"192.168.0.9.77", b"fe80::1",
                            b"1.2.3.4:80", b"0.0.0.0", b"255.255.255.255"]):
        yield "ip-%02d" % n, simulated(n, ipAddress=ip, httpsEnabled=n % 2,
                                       webPort=65535 if n % 3 == 0 else 8000 + n)

    # What the firmware tool's command line must keep as one argument each.
    tool = [
        dict(firmwareVersion=b"1 -i 203.0.113.5&80&x", userId=b"admin", passwordDigest=b"pw"),
        dict(userId=b"ad\tmin", passwordDigest=b"p\tw", firmwareVersion=b"a\t-i\tb"),
        dict(userId=b"\"admin", passwordDigest=b"p\"w\"", firmwareVersion=b"\" -i 203.0.113.5&80&x \""),
        dict(userId=b"x\" -i 203.0.113.5&80&x \"y", passwordDigest=b"-p"),
        dict(userId=b"a\\\" -u root", passwordDigest=b"p\\\\\" -i x", firmwareVersion=b"\\\\\\\" b"),
        dict(userId=b"a b\\", passwordDigest=b"c d\\\\", firmwareVersion=b"e f\\\\\\"),
        dict(userId=b"C:\\dir\\", passwordDigest=b"\\\\", firmwareVersion=b"a\\b c\\\\d"),
        dict(userId=b" ", passwordDigest=b"  ", firmwareVersion=b" "),
        dict(userId=b"\"\"", passwordDigest=b"a\"\"b c", firmwareVersion=b"\"\" \"\""),
        dict(userId=b"\"" * 32, passwordDigest=b"\\" * 30 + b"\""),
        dict(userId=b"\x81\x5c\"", passwordDigest=b"a \x81\x5c", firmwareVersion=b"\x81\"x"),
        dict(userId=b"ab\x81", passwordDigest=b"a b\x81", firmwareVersion=b"x" * 35 + b"\x81"),
        dict(userId=b"u" * 31 + b"\x81", passwordDigest=b"\xb0\xa1 \xb3\xaa"),
    ]
    for n, fields in enumerate(tool):
        yield "tool-%02d" % n, simulated(n, **fields)

    # Double-byte text in every column (Korean, Japanese), as sort keys.
    yield "double-byte", simulated(6, productName=b"\xb0\xa1\xb3\xaa", manufacturer=b"\x81\x5c\x81\x5c",
                                   deviceName=b"\xc9cran", macAddress=b"\xe0\x40:\xfc",
                                   firmwareVersion=b"\x95\x5c_20230101")

    # Settings of every kind: DHCP, neither, ports at their ends, HTTPS.
    yield "settings-dhcp", simulated(1, dhcp=1, httpsEnabled=1)
    yield "settings-odd", simulated(2, dhcp=2, result=9, httpsEnabled=255, webPort=0, controlPort=65535,
                                    videoPort=65535, audioReceivePort=0, audioTransmitPort=65535)
    yield "settings-negative", simulated(3, dhcp=0xFFFFFFFF, result=0xFFFFFFFF)

    # Apply replies, and datagrams of other commands.
    for result in range(8):
        yield "apply-result-%d" % result, simulated(0, command=SET_CONFIG, result=result)
    yield "apply-empty-mac", record(command=SET_CONFIG, result=0)
    for command in (0, SEARCH, REBOOT, FACTORY_RESET, 0x104, 0xFFFFFFFF):
        yield "command-%x" % command, simulated(0, command=command)

    # Short and long datagrams.
    full = simulated(0)
    yield "length-000", b""
    for length in (1, 4, 96, 232, 300, 370):
        yield "length-%03d" % length, full[:length]
    yield "length-372", full + b"\0"
    yield "length-400", full + b"x" * 29


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                                   "corpus")
    os.makedirs(folder, exist_ok=True)
    written = dict(seeds())
    assert len(written) == len(list(seeds())), "two seeds of one name"
    for stale in set(os.listdir(folder)) - set(written):
        os.remove(os.path.join(folder, stale))
    for name, data in written.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    print("%d seeds in %s" % (len(written), folder))


if __name__ == "__main__":
    main()
