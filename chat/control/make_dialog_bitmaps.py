#!/usr/bin/env python3
"""Draws the chat dialogs' built-in pictures as 24-bit BMP files.

Usage: make_dialog_bitmaps.py <output directory>
"""
import os
import struct
import sys


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def blend(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def background(x, y, w=320, h=260):
    border = (82, 128, 186)
    if x in (0, w - 1) or y in (0, h - 1):
        return border
    if y < 28:  # title band
        return blend((120, 168, 224), (74, 120, 190), y / 27)
    return blend((236, 243, 252), (206, 222, 244), y / h)


def close_button(hover):
    def pixel(x, y):
        face = (214, 70, 60) if hover else (120, 150, 196)
        if x in (0, 19) or y in (0, 23):
            return (60, 80, 120)
        dx, dy = x - 9.5, y - 11.5
        if abs(abs(dx) - abs(dy)) < 1.2 and abs(dx) < 5:
            return (255, 255, 255)
        return face
    return pixel


def text_button(hover):
    top, bottom = ((255, 244, 214), (246, 206, 120)) if hover else ((250, 252, 255), (196, 214, 238))
    def pixel(x, y):
        if x in (0, 58) or y in (0, 20):
            return (98, 128, 170)
        return blend(top, bottom, y / 20)
    return pixel


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "dialog_back.bmp"), 320, 260, background)
    write_bmp(os.path.join(out, "close_normal.bmp"), 20, 24, close_button(False))
    write_bmp(os.path.join(out, "close_hover.bmp"), 20, 24, close_button(True))
    write_bmp(os.path.join(out, "button_normal.bmp"), 59, 21, text_button(False))
    write_bmp(os.path.join(out, "button_hover.bmp"), 59, 21, text_button(True))


if __name__ == "__main__":
    main()
