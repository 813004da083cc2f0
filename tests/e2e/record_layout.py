"""The device record's layout for the scripts that build and read records:
the simulator's client, the fuzzer's seed writer and the hostile flood.

It is DISCOVERY_DATA of protocol/discovery_data.h, field by field;
tests/unit/record_layout_test.py holds the two against each other. Texts
are one character per byte (U+0000 to U+00FF), as in the simulator's log.
"""

RECORD_SIZE = 371

# (name, offset, width, kind) in wire order: kind "n" number (unsigned,
# little-endian), "t" text (up to the first NUL or the field's end), "b" bytes.
FIELDS = [
    ("command", 0, 4, "n"),
    ("result", 4, 4, "n"),
    ("userId", 8, 32, "t"),
    ("passwordDigest", 40, 32, "b"),
    ("macAddress", 72, 24, "t"),
    ("productName", 96, 32, "t"),
    ("manufacturer", 128, 32, "t"),
    ("deviceName", 160, 32, "t"),
    ("firmwareVersion", 192, 36, "t"),
    ("dhcp", 228, 4, "n"),
    ("ipAddress", 232, 32, "t"),
    ("subnetMask", 264, 32, "t"),
    ("gateway", 296, 32, "t"),
    ("dns", 328, 32, "t"),
    ("webPort", 360, 2, "n"),
    ("controlPort", 362, 2, "n"),
    ("videoPort", 364, 2, "n"),
    ("audioReceivePort", 366, 2, "n"),
    ("audioTransmitPort", 368, 2, "n"),
    ("httpsEnabled", 370, 1, "n"),
]
_FIELDS_BY_NAME = {f[0]: f for f in FIELDS}


def put_field(record, name, value):
    """Writes one field of a bytearray record: a number's low bytes, least
    significant first; a text or bytes (str or bytes) cut at the field's
    width and zero-filled, so a text as wide as its field has no NUL."""
    _, offset, width, kind = _FIELDS_BY_NAME[name]
    if kind == "n":
        record[offset:offset + width] = (value & ((1 << (8 * width)) - 1)).to_bytes(width, "little")
    else:
        raw = (value if isinstance(value, bytes) else str(value).encode("latin-1"))[:width]
        record[offset:offset + width] = raw + bytes(width - len(raw))


def read_field(data, name):
    """One field of `data` as the program reads it: a number, a text up to
    its first NUL (as str) or the bytes in hex."""
    _, offset, width, kind = _FIELDS_BY_NAME[name]
    raw = data[offset:offset + width]
    if kind == "n":
        return int.from_bytes(raw, "little")
    if kind == "t":
        return bytes(raw).split(b"\0", 1)[0].decode("latin-1")
    return bytes(raw).hex()


def parse_record(data):
    """The fields lying wholly within `data`, as the simulator's log decodes
    them."""
    return {name: read_field(data, name) for name, offset, width, _ in FIELDS if offset + width <= len(data)}
