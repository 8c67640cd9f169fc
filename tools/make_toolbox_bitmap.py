#!/usr/bin/env python3
"""Turns a 16 x 16 picture in text into the 4-bit BMP a control shows in a container's toolbox.

Usage: make_toolbox_bitmap.py <picture.txt> <out.bmp>

The picture holds 16 rows of 16 characters, top row first; '#' lines are comments. Each
character is a colour of the standard 16-colour palette:
  k black   r maroon  g green   y olive   b navy    m purple  c teal    . silver
  s gray    R red     G lime    Y yellow  B blue    M fuchsia C aqua    W white
"""
import struct
import sys

PALETTE = [
    ("k", 0x000000), ("r", 0x800000), ("g", 0x008000), ("y", 0x808000),
    ("b", 0x000080), ("m", 0x800080), ("c", 0x008080), (".", 0xC0C0C0),
    ("s", 0x808080), ("R", 0xFF0000), ("G", 0x00FF00), ("Y", 0xFFFF00),
    ("B", 0x0000FF), ("M", 0xFF00FF), ("C", 0x00FFFF), ("W", 0xFFFFFF),
]
INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}
SIZE = 16


def read_picture(path):
    with open(path, encoding="ascii") as f:
        rows = [line.rstrip("\n") for line in f if line.strip() and not line.startswith("#")]
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        sys.exit(f"{path}: the picture must be {SIZE} rows of {SIZE} characters")
    for r in rows:
        for ch in r:
            if ch not in INDEX:
                sys.exit(f"{path}: unknown colour {ch!r}")
    return rows


def bmp_bytes(rows):
    palette = b"".join(struct.pack("<BBBB", rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16, 0)
                       for _, rgb in PALETTE)
    pixels = b""
    for row in reversed(rows):  # bottom-up
        for x in range(0, SIZE, 2):
            pixels += bytes([(INDEX[row[x]] << 4) | INDEX[row[x + 1]]])
    # Rows of 8 bytes need no padding to a 4-byte boundary.
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, len(pixels), 2835, 2835,
                       len(PALETTE), 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    data = bmp_bytes(read_picture(sys.argv[1]))
    with open(sys.argv[2], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
