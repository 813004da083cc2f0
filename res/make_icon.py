#!/usr/bin/env python3
"""Draws the program's icon: a camera with its lens and signal arcs, 32 x 32,
32-bit BGRA with an AND mask, written as an ICO holding one BMP image.

Run it after changing the drawing and commit the .ico it writes. With --check
it only compares its output with the committed file.
"""

import argparse
import math
import pathlib
import struct
import sys

SIZE = 32
# Sub-samples per pixel along each axis: edges get 64 coverage levels.
SUPERSAMPLE = 8

SLATE = (0x40, 0x58, 0x72)
RING = (0xE6, 0xEB, 0xF0)
GLASS = (0x2E, 0x86, 0xDE)
PUPIL = (0x14, 0x1E, 0x2D)
WHITE = (0xFF, 0xFF, 0xFF)
ORANGE = (0xF3, 0x8B, 0x1C)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def in_circle(x, y, cx, cy, radius):
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def in_arc(x, y, cx, cy, radius, width, start, end):
    """A stroke of the given width along a circle from angle start to end
    (degrees, counter-clockwise on screen, 0 pointing right), with round caps."""
    dx, dy = x - cx, cy - y
    angle = math.degrees(math.atan2(dy, dx))
    if start <= angle <= end:
        return abs(math.hypot(dx, dy) - radius) <= width / 2
    for cap in (start, end):
        px = cx + radius * math.cos(math.radians(cap))
        py = cy - radius * math.sin(math.radians(cap))
        if in_circle(x, y, px, py, width / 2):
            return True
    return False


# Back to front; the first shape from the top that covers a point gives its colour.
SIGNAL_CENTRE = (22.5, 9.5)
LENS_CENTRE = (13.0, 22.0)
SHAPES = [
    (ORANGE, lambda x, y: in_circle(x, y, *SIGNAL_CENTRE, 1.6)),
    (ORANGE, lambda x, y: in_arc(x, y, *SIGNAL_CENTRE, 4.4, 2.2, 5, 85)),
    (ORANGE, lambda x, y: in_arc(x, y, *SIGNAL_CENTRE, 7.9, 2.2, 5, 85)),
    (SLATE, lambda x, y: in_rounded_rect(x, y, 1.0, 13.0, 25.0, 31.0, 3.0)),
    (SLATE, lambda x, y: in_rounded_rect(x, y, 5.0, 10.0, 12.0, 15.0, 1.5)),
    (RING, lambda x, y: in_circle(x, y, *LENS_CENTRE, 6.6)),
    (GLASS, lambda x, y: in_circle(x, y, *LENS_CENTRE, 4.8)),
    (PUPIL, lambda x, y: in_circle(x, y, *LENS_CENTRE, 2.2)),
    (WHITE, lambda x, y: in_circle(x, y, LENS_CENTRE[0] - 1.7, LENS_CENTRE[1] - 1.7, 1.0)),
]


def sample(x, y):
    for colour, covers in reversed(SHAPES):
        if covers(x, y):
            return colour
    return None


def render():
    """Rows top to bottom of (r, g, b, a), straight (not premultiplied) alpha."""
    rows = []
    step = 1.0 / SUPERSAMPLE
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            r = g = b = hits = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    colour = sample(px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    if colour:
                        r, g, b, hits = r + colour[0], g + colour[1], b + colour[2], hits + 1
            if hits:
                alpha = round(255 * hits / SUPERSAMPLE**2)
                row.append((round(r / hits), round(g / hits), round(b / hits), alpha))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def ico_bytes(rows):
    # The image is a bottom-up BMP of twice the height: colour rows, then the mask.
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        for r, g, b, a in row:
            # Screens that draw without alpha use the mask: pixels at least half covered show.
            bits = (bits << 1) | (1 if a < 128 else 0)
        mask += bits.to_bytes(SIZE // 8, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + bytes(mask)
    icon_dir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return icon_dir + entry + image


def main():
    default = pathlib.Path(__file__).resolve().with_name("Nodewright.ico")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", type=pathlib.Path, default=default, help="where to write the icon")
    parser.add_argument("--check", action="store_true", help="compare with the file instead of writing it")
    args = parser.parse_args()

    data = ico_bytes(render())
    if args.check:
        try:
            current = args.output.read_bytes()
        except OSError as error:
            print(f"make_icon: cannot read {args.output}: {error.strerror}", file=sys.stderr)
            return 1
        if current != data:
            print(f"make_icon: {args.output} differs from the drawing; run make_icon.py and commit it",
                  file=sys.stderr)
            return 1
        return 0
    try:
        args.output.write_bytes(data)
    except OSError as error:
        print(f"make_icon: cannot write {args.output}: {error.strerror}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
