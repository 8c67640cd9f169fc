#!/usr/bin/env python3
"""Pictures for the animated picture object's tests.

  rgb.gif     20 x 10, three frames (red, green, blue) of 100 ms each
  still.png   8 x 6, one blue frame, its left half transparent
  wide.gif    600 x 4, larger than the object takes
  broken.gif  a GIF header followed by nonsense
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools"))
from gif_file import gif_bytes  # noqa: E402


def png(w, h, pixel):
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            raw += bytes(pixel(x, y))
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "rgb.gif": gif_bytes(20, 10, [lambda x, y, c=c: c for c in
                                      ((255, 0, 0), (0, 255, 0), (0, 0, 255))], delay_cs=10),
        "still.png": png(8, 6, lambda x, y: (0, 0, 255, 255) if x >= 4 else (0, 0, 0, 0)),
        "wide.gif": gif_bytes(600, 4, [lambda x, y: (9, 9, 9)]),
        "broken.gif": b"GIF89a\x14\x00\x0a\x00" + bytes(range(256)) * 4,
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
