#!/usr/bin/env python3
"""Writes the resources of a sample style module: frame and band bitmaps, caption icons and
the string table of frame metrics, with the names and ids the table frame window loads.

Usage: make_style_module.py <style> <out-dir> [<sound-rc>]

Writes <out-dir>/style.rc and the BMP and ICO files it names (and, with <sound-rc>, includes
that resource script of table sounds), and <out-dir>/picture.rc for the picture library
(the caption and person-list skin strings with the icons and bitmaps they name). Style 0 is
a navy and gold table; style 1 a green one (for skin changes).
"""
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from bmp_file import write_bmp  # noqa: E402

PALETTES = {
    0: dict(frame=(28, 46, 74), frame_hi=(86, 120, 168), frame_lo=(12, 20, 34),
            gold=(214, 170, 84), column=(222, 230, 240), column_edge=(120, 146, 180),
            band_top=(109, 143, 179), band_bottom=(61, 95, 134), caption_top=(38, 58, 90),
            caption_bottom=(16, 26, 42), felt=(22, 92, 60)),
    1: dict(frame=(30, 70, 44), frame_hi=(90, 150, 100), frame_lo=(12, 30, 18),
            gold=(230, 200, 120), column=(228, 238, 226), column_edge=(110, 160, 120),
            band_top=(100, 160, 110), band_bottom=(50, 110, 62), caption_top=(40, 84, 52),
            caption_bottom=(16, 40, 24), felt=(40, 80, 120)),
}


def rgb_ref(c):
    """A colour as the decimal COLORREF the metric strings hold (red in the low byte)."""
    r, g, b = c
    return str(r | (g << 8) | (b << 16))




def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def frame_pieces(out, prefix, ids, base, hi, lo, accent, size=8):
    """Eight pieces of a bevelled frame: ids in the order TL, TR, BL, BR, L, T, R, B."""
    s = size

    def edge_colour(d):  # d: distance from the outside edge
        if d == 0:
            return lo
        if d == 1:
            return hi
        if d == s - 2:
            return accent
        if d == s - 1:
            return lo
        return base

    def corner(fx, fy):
        def px(x, y):
            dx = x if fx else s - 1 - x
            dy = y if fy else s - 1 - y
            return edge_colour(min(dx, dy))
        return px

    kinds = {
        "TL": corner(True, True), "TR": corner(False, True),
        "BL": corner(True, False), "BR": corner(False, False),
        "L": lambda x, y: edge_colour(x), "T": lambda x, y: edge_colour(y),
        "R": lambda x, y: edge_colour(s - 1 - x), "B": lambda x, y: edge_colour(s - 1 - y),
    }
    names = []
    for kind, rid in zip(["TL", "TR", "BL", "BR", "L", "T", "R", "B"], ids):
        name = f"{prefix}{rid}"
        write_bmp(os.path.join(out, name + ".bmp"), s, s, kinds[kind])
        names.append(name)
    return names


def icon(out, name, glyph, p):
    png = os.path.join(out, name + ".png")
    cmd = ["convert", "-size", "25x25", f"gradient:rgb{p['band_top']}-rgb{p['band_bottom']}",
           "-fill", "none", "-stroke", "white", "-strokewidth", "2"] + glyph + [png]
    subprocess.run(cmd, check=True)
    subprocess.run(["convert", png, os.path.join(out, name + ".ico")], check=True)
    os.remove(png)


def main():
    style, out = int(sys.argv[1]), sys.argv[2]
    p = PALETTES[style % len(PALETTES)]
    os.makedirs(out, exist_ok=True)
    bitmaps = []
    # Outer frame, play-pane frame, right-column frame.
    bitmaps += frame_pieces(out, "IDB_BORDER", [51, 53, 57, 59, 55, 54, 56, 58],
                            p["frame"], p["frame_hi"], p["frame_lo"], p["frame"])
    bitmaps += frame_pieces(out, "IDB_BORDER", [61, 63, 66, 68, 64, 62, 65, 67],
                            p["frame"], p["frame_hi"], p["frame_lo"], p["gold"])
    bitmaps += frame_pieces(out, "IDB_BORDER", [81, 83, 86, 88, 84, 82, 85, 87],
                            p["column"], p["column_edge"], p["frame_lo"], p["column_edge"])

    def band(top, bottom, h, line=None):
        def px(x, y):
            if line and y == h - 1:
                return line
            return mix(top, bottom, y / max(h - 1, 1))
        return px

    for name in ["IDB_BORDER41", "IDB_BORDER42", "IDB_BORDER43"]:
        write_bmp(os.path.join(out, name + ".bmp"), 6, 22,
                  band(p["band_top"], p["band_bottom"], 22, p["frame_lo"]))
        bitmaps.append(name)
    # Caption: a gradient (stretched over the width) and a gold centre ornament.
    write_bmp(os.path.join(out, "IDB_TITLE1.bmp"), 64, 30,
              band(p["caption_top"], p["caption_bottom"], 30, p["gold"]))

    def ornament(x, y):
        base = mix(p["caption_top"], p["caption_bottom"], y / 29)
        if y == 29:
            return p["gold"]
        fade = 1 - abs(x - 119.5) / 120
        if 3 <= y <= 26 and fade > 0:
            return mix(base, p["frame_hi"], 0.35 * fade)
        return base
    write_bmp(os.path.join(out, "IDB_TITLE2.bmp"), 240, 30, ornament)
    write_bmp(os.path.join(out, "IDB_TITLE3.bmp"), 64, 30,
              band(p["caption_top"], p["caption_bottom"], 30, p["gold"]))
    bitmaps += ["IDB_TITLE1", "IDB_TITLE2", "IDB_TITLE3"]
    for name in ["IDB_LISTLEFT", "IDB_LISTMID", "IDB_LISTRIGHT"]:
        write_bmp(os.path.join(out, name + ".bmp"), 6, 20,
                  band(p["band_top"], p["band_bottom"], 20))
        bitmaps.append(name)
    write_bmp(os.path.join(out, "TABLE_CENTER1.bmp"), 64, 64,
              lambda x, y: mix(p["felt"], (0, 0, 0), 0.08 * (((x // 4) + (y // 4)) % 2)))
    write_bmp(os.path.join(out, "IDB_SEPERATOR.bmp"), 8, 8,
              lambda x, y: p["gold"] if (x + y) % 4 < 2 else p["frame_lo"])
    write_bmp(os.path.join(out, "IDB_DLG_BUTTON_BK.bmp"), 50, 20,
              band(p["band_top"], p["band_bottom"], 20))
    # The play table's felt, laid as a pattern under the table display.
    write_bmp(os.path.join(out, "TABLE_BK2.bmp"), 64, 64,
              lambda x, y: mix(p["felt"], (0, 0, 0), 0.06 * (((x * 7 + y * 13) // 5) % 3)))
    bitmaps += ["TABLE_CENTER1", "TABLE_BK2", "IDB_SEPERATOR", "IDB_DLG_BUTTON_BK"]

    icons = {
        "CAPTION_CLOSE": ["-draw", "line 7,7 17,17", "-draw", "line 17,7 7,17"],
        "CAPTION_MAX": ["-draw", "rectangle 7,7 17,17"],
        "CAPTION_MIN": ["-draw", "line 7,17 17,17"],
        "CAPTION_NORMAL": ["-draw", "rectangle 9,6 18,14", "-draw", "rectangle 6,10 15,18"],
        # The person list's pictures: a player (head and shoulders) and a watcher (an eye).
        "PERSON_PLAYER": ["-fill", "white", "-draw", "circle 12,8 12,12", "-draw",
                          "roundrectangle 5,15 19,23 4,4"],
        "PERSON_WATCHER": ["-draw", "ellipse 12,12 8,5 0,360", "-fill", "white", "-draw",
                           "circle 12,12 12,14"],
    }
    for name, glyph in icons.items():
        icon(out, name, glyph, p)

    metrics = {
        101: rgb_ref(p["frame"]), 102: rgb_ref(p["column"]), 103: rgb_ref(p["column"]),
        106: rgb_ref(p["column"]),
        107: 8, 108: 8, 110: 32, 112: 32, 113: 30, 114: 4, 115: 4, 116: 4, 118: 6, 119: 38,
        120: 6, 121: 20, 124: 90, 125: 8, 126: 8, 127: 1, 128: 5, 130: 1, 131: 0, 132: 12,
        133: 30, 134: 400, 135: 25, 136: 25, 137: rgb_ref((255, 240, 200)),
        141: rgb_ref(p["caption_bottom"]), 142: rgb_ref((255, 255, 255)), 143: 0,
        144: rgb_ref((252, 191, 130)), 146: 0, 147: "skin", 148: 42,
        # Caption skin: four caption icons, a fifth, two bitmaps.
        1237: "CAPTION_MIN", 1238: "CAPTION_MAX", 1239: "CAPTION_NORMAL", 1240: "CAPTION_CLOSE",
        1241: "CAPTION_CLOSE", 1243: "IDB_TITLE1", 1254: "IDB_TITLE2",
        # Person-list skin: three colours, four values, the list bitmap, icons, font face.
        1281: rgb_ref(p["column"]), 1282: rgb_ref((0, 0, 0)), 1283: rgb_ref(p["band_top"]),
        1284: 18, 1285: 1, 1286: 0, 1287: 2, 1288: "IDB_LISTMID",
        1300: 2, 1301: "PERSON_PLAYER", 1302: "PERSON_WATCHER", 1311: "SimSun",
    }
    def write_rc(name, bitmap_names, icon_names, strings, extra=""):
        with open(os.path.join(out, name), "w", encoding="ascii") as rc:
            rc.write("// Generated by tools/skin_art/make_style_module.py\n")
            for b in bitmap_names:
                rc.write(f'{b} BITMAP "{b}.bmp"\n')
            for i in icon_names:
                rc.write(f'{i} ICON "{i}.ico"\n')
            rc.write("STRINGTABLE\nBEGIN\n")
            for rid, value in sorted(strings.items()):
                rc.write(f'  {rid}, "{value}"\n')
            rc.write("END\n" + extra)

    sound_rc = sys.argv[3] if len(sys.argv) > 3 else None
    write_rc("style.rc", bitmaps, icons, metrics,
             f'#include "{sound_rc}"\n' if sound_rc else "")
    skin_strings = {k: v for k, v in metrics.items() if k >= 1237}
    write_rc("picture.rc", ["IDB_TITLE1", "IDB_TITLE2", "IDB_LISTMID"], icons, skin_strings)


if __name__ == "__main__":
    main()
