#!/usr/bin/env python3
"""Sends a flood of hostile datagrams to the program's reply port, as any
host on a LAN could: random lengths from 0 to 1,500 bytes, every command
code, records without any NUL, texts with control characters, blanks,
quotes and dashes, MAC texts that run on past their field, search replies of
a set of devices that repeat them endlessly, and apply replies that no Save
asked for. Runs on the device side of the private test LAN only.

    hostile_flood.py --to 198.51.100.1 --seconds 3 --rate 6000 --seed 7 --ledger out.json

The ledger (JSON) counts what was sent, by kind, and lists the (MAC, IP)
pairs that the program takes as search replies: the texts up to the first
NUL or the field's end, from the record as the program reads it (a shorter
datagram zero-filled)."""

import argparse
import json
import os
import random
import socket
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "e2e"))
from record_layout import RECORD_SIZE, put_field, read_field  # noqa: E402

REPLY_PORT = 40014
SEARCH_REPLY = 4
SET_CONFIG = 5

HOSTILE_BYTES = b" \t\"'-\r\n\x01\x1b\x7f&|;<>%$`\\"


def repeating_devices(rng, count):
    """Search replies that the flood repeats: each a device the program must
    list once per search. None has an empty MAC or IP text, and none is cut
    short (its IP text would then be empty): such a reply is a new row every
    time, which no fixed expectation could count."""
    devices = []
    for n in range(count):
        kind = n % 4
        if kind == 0:
            # No NUL anywhere: every text runs to its field's end.
            record = bytearray(rng.choice(b"ABCDEF0123456789-\" ") for _ in range(RECORD_SIZE))
        else:
            record = bytearray(RECORD_SIZE)
            hostile = bytes(rng.choice(HOSTILE_BYTES) for _ in range(rng.randint(1, 40)))
            put_field(record, "productName", b"-i x " + hostile)
            put_field(record, "firmwareVersion", b"1 -i 203.0.113.5&80&x" + hostile[:8])
            put_field(record, "deviceName", hostile)
        if kind == 1:
            # A MAC text of 32 characters: 24 fill the field, no NUL.
            put_field(record, "macAddress", b"%02X:" % n * 8)
            put_field(record, "ipAddress", b"198.51.100.%d" % (150 + n))
        elif kind == 2:
            put_field(record, "macAddress", b"-%d \"quoted\" mac" % n)
            put_field(record, "ipAddress", b" 198.51.100.%d -x" % n)
        elif kind == 3:
            put_field(record, "macAddress", b"\x1b[31m%d\r\n" % n)
            put_field(record, "ipAddress", b"10.0.%d.1\t" % n)
        put_field(record, "command", SEARCH_REPLY)
        devices.append((bytes(record), (read_field(record, "macAddress"), read_field(record, "ipAddress"))))
    return devices


def junk(rng):
    """A datagram that is no search or apply reply, whatever its length."""
    length = rng.randint(0, 1500)
    data = bytearray(rng.getrandbits(8) for _ in range(length))
    command = int.from_bytes(bytes(data[:4]) + bytes(4 - min(len(data), 4)), "little")
    if length and command in (SEARCH_REPLY, SET_CONFIG):
        data[0] ^= 0x80
    return bytes(data)


def other_command(rng):
    command = rng.choice([0, 1, 2, 3, 6, 7, 8, 0x104, 0xFFFFFFFF, rng.getrandbits(32) | 0x100])
    record = bytearray(rng.getrandbits(8) for _ in range(RECORD_SIZE))
    put_field(record, "command", command)
    return bytes(record)


def oversized_reply(rng):
    record = bytearray(rng.getrandbits(8) for _ in range(rng.randint(RECORD_SIZE + 1, 1500)))
    put_field(record, "command", SEARCH_REPLY)
    return bytes(record)


def unasked_apply_reply(rng):
    record = bytearray(RECORD_SIZE)
    put_field(record, "command", SET_CONFIG)
    put_field(record, "result", rng.randint(0, 9))
    choice = rng.randint(0, 2)
    if choice == 1:
        put_field(record, "macAddress", b"00:1A:2B:00:00:%02X" % rng.randint(1, 255))
    elif choice == 2:
        put_field(record, "macAddress", bytes(rng.choice(HOSTILE_BYTES) for _ in range(24)))
    return bytes(record)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--to", required=True)
    parser.add_argument("--port", type=int, default=REPLY_PORT)
    parser.add_argument("--seconds", type=float, required=True)
    parser.add_argument("--rate", type=int, default=6000, help="datagrams a second")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--devices", type=int, default=48, help="repeating devices")
    parser.add_argument("--ledger", required=True)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    devices = repeating_devices(random.Random(0), args.devices)
    kinds = {"junk": junk, "other command": other_command, "oversized search reply": oversized_reply,
             "unasked apply reply": unasked_apply_reply}
    sent = {name: 0 for name in kinds}
    sent["repeating search reply"] = 0
    sent["failed"] = 0
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    start = time.monotonic()
    # The repeating devices first, several times over, so that each reaches
    # the program even if the flood later overruns its receive buffer.
    order = [data for data, _ in devices] * 3
    total = 0
    while True:
        elapsed = time.monotonic() - start
        if elapsed >= args.seconds:
            break
        due = int(elapsed * args.rate) + 1
        while total < due:
            if order:
                data, kind = order.pop(0), "repeating search reply"
            elif rng.random() < 0.2:
                data, kind = rng.choice(devices)[0], "repeating search reply"
            else:
                kind = rng.choice(list(kinds))
                data = kinds[kind](rng)
            try:
                sock.sendto(data, (args.to, args.port))
                sent[kind] += 1
            except OSError:
                sent["failed"] += 1
            total += 1
        time.sleep(0.001)
    with open(args.ledger, "w") as ledger:
        json.dump({"sent": sent, "total": total, "seconds": time.monotonic() - start,
                   "pairs": sorted(set(pair for _, pair in devices))}, ledger)


if __name__ == "__main__":
    main()
