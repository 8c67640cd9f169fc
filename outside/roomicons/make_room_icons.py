#!/usr/bin/env python3
"""Writes the resources of a sample room icon library: 16 x 16 icons (one colour each, a
round mark on a clear ground) and string 1, the number of icons, as the client reads it.

    make_room_icons.py <out dir> <first number> <count>

The icons are named IDI_<n> for n = first .. first + count - 1, as the running count of the
libraries loaded before them asks."""
import struct
import sys


def icon_bytes(rgb):
    size = 16
    pixels = bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up rows
        for x in range(size):
            inside = (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 49
            r, g, b = rgb
            pixels += bytes((b, g, r, 255 if inside else 0))
    mask = bytes(4 * size)  # 1-bit AND mask, rows padded to 32 bits; alpha decides
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    image = header + bytes(pixels) + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32,
                                                       len(image), 6 + 16) + image


COLOURS = [(200, 40, 40), (40, 160, 40), (40, 60, 200), (200, 160, 20), (150, 40, 170),
           (20, 160, 170), (120, 120, 120)]


def main():
    out, first, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    lines = ['STRINGTABLE', 'BEGIN', '  1 "%d"' % count, 'END']
    for n in range(first, first + count):
        name = 'IDI_%d.ico' % n
        with open('%s/%s' % (out, name), 'wb') as f:
            f.write(icon_bytes(COLOURS[n % len(COLOURS)]))
        lines.append('IDI_%d ICON "%s"' % (n, name))
    with open('%s/room.rc' % out, 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
