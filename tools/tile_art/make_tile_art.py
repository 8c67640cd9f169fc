#!/usr/bin/env python3
"""Draws the tile art of the table display and the option board.

Usage: make_tile_art.py <out-dir> [--png]

Writes into <out-dir>:
  face sheets (9 values x 8 colours at angle 0, row = tile colour; turned at 90, 180, 270),
  tile frames, face-down tiles, the extra bitmaps (tile backs and wall stacks) as 24-bit BMPs,
  each frame-like bitmap holding its picture in the left half and its mask in the right half
  (white = tile, black = background); the six dice as icons;
  table_tile_art.rc and board_tile_art.rc, the resource scripts that name them by id;
  with --png, PNG copies of the angle-0 sheets and frames for a person to look at.

The faces are drawn with ImageMagick's `convert` (four times larger, then reduced); everything
that needs an exact mask is drawn here, pixel by pixel.
"""
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from bmp_file import write_bmp  # noqa: E402

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
DIGIT_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

IVORY = (246, 242, 228)
SHADE = (214, 207, 184)
EDGE = (110, 104, 84)
BACK = (34, 120, 70)
BACK_LIGHT = (62, 150, 96)
RED = "#c62828"
GREEN = "#2e7d32"
BLUE = "#1e56b4"
NAVY = "#1a1f66"
MAGENTA = "#ad1457"
GOLD = "#ffcf40"

SCALE = 4  # faces are drawn at this multiple and reduced

# ---------------------------------------------------------------------------------------------
# Face sheets (ImageMagick draw commands)


def hexcolor(rgb):
    return "#%02x%02x%02x" % rgb


class Cell:
    """One face cell in drawing coordinates (SCALE times the final pixels)."""

    def __init__(self, col, row, fw, fh):
        self.x = col * fw * SCALE
        self.y = row * fh * SCALE
        self.w = fw * SCALE
        self.h = fh * SCALE

    def at(self, u, v):
        return self.x + u * self.w, self.y + v * self.h


def text(cell, u, v, s, size, color, font=CJK_FONT):
    x, y = cell.at(u, v)
    s = s.replace("'", "\\'")
    return (f"font '{font}' font-size {size:.1f} fill '{color}' stroke none "
            f"text-anchor middle text {x:.1f},{y:.1f} '{s}'")


def disk(x, y, r, color):
    return f"fill '{color}' stroke none circle {x:.1f},{y:.1f} {x + r:.1f},{y:.1f}"


def coin(cell, u, v, r, color):
    x, y = cell.at(u, v)
    return " ".join([disk(x, y, r, color), disk(x, y, r * 0.62, hexcolor(IVORY)),
                     disk(x, y, r * 0.34, color)])


DOTS = {
    2: [(.5, .27, GREEN), (.5, .73, BLUE)],
    3: [(.24, .2, BLUE), (.5, .5, RED), (.76, .8, GREEN)],
    4: [(.28, .27, BLUE), (.72, .27, GREEN), (.28, .73, GREEN), (.72, .73, BLUE)],
    5: [(.25, .22, BLUE), (.75, .22, GREEN), (.5, .5, RED), (.25, .78, GREEN), (.75, .78, BLUE)],
    6: [(.3, .17, GREEN), (.7, .17, GREEN), (.3, .56, RED), (.7, .56, RED), (.3, .84, RED),
        (.7, .84, RED)],
    7: [(.2, .12, GREEN), (.5, .24, GREEN), (.8, .36, GREEN), (.3, .62, RED), (.7, .62, RED),
        (.3, .87, RED), (.7, .87, RED)],
    8: [(x, y, BLUE) for y in (.13, .38, .62, .87) for x in (.3, .7)],
    9: [(x, y, c) for y, c in ((.17, BLUE), (.5, RED), (.83, GREEN)) for x in (.2, .5, .8)],
}
DOT_RADIUS = {2: .21, 3: .17, 4: .19, 5: .17, 6: .15, 7: .13, 8: .135, 9: .14}


def dots_face(cell, value):
    if value == 1:
        x, y = cell.at(.5, .5)
        r = cell.w * .42
        return " ".join([disk(x, y, r, BLUE), disk(x, y, r * .8, hexcolor(IVORY)),
                         disk(x, y, r * .66, GREEN), disk(x, y, r * .5, hexcolor(IVORY)),
                         disk(x, y, r * .34, RED)])
    r = cell.w * DOT_RADIUS[value]
    return " ".join(coin(cell, u, v, r, c) for u, v, c in DOTS[value])


def stick(cell, u, v, length, width, color):
    x, y = cell.at(u, v)
    lh = length * cell.h / 2
    hw = width * cell.w / 2
    joint = max(1.0, cell.w * .03)
    return (f"fill '{color}' stroke none roundrectangle {x - hw:.1f},{y - lh:.1f} "
            f"{x + hw:.1f},{y + lh:.1f} {hw:.1f},{hw:.1f} "
            f"fill '{hexcolor(IVORY)}' rectangle {x - hw:.1f},{y - joint:.1f} {x + hw:.1f},{y + joint:.1f}")


BAMBOO = {
    2: [(.5, .27, GREEN), (.5, .73, GREEN)],
    3: [(.5, .27, GREEN), (.28, .73, GREEN), (.72, .73, GREEN)],
    4: [(.28, .27, GREEN), (.72, .27, GREEN), (.28, .73, GREEN), (.72, .73, GREEN)],
    5: [(.2, .27, GREEN), (.8, .27, GREEN), (.5, .5, RED), (.2, .73, GREEN), (.8, .73, GREEN)],
    6: [(x, y, GREEN) for y in (.27, .73) for x in (.2, .5, .8)],
    8: [(x, y, GREEN) for y in (.27, .73) for x in (.14, .38, .62, .86)],
    9: [(x, y, RED if x == .5 else GREEN) for y in (.18, .5, .82) for x in (.2, .5, .8)],
}


def bamboo_face(cell, value):
    if value == 1:
        # One tall stick with red bands and a red head: the odd one of the suit.
        x, y = cell.at(.5, .56)
        return " ".join([stick(cell, .5, .58, .72, .30, GREEN),
                         disk(x, cell.y + cell.h * .14, cell.w * .15, RED),
                         f"fill '{RED}' rectangle {x - cell.w * .15:.1f},{y - cell.h * .2:.1f} "
                         f"{x + cell.w * .15:.1f},{y - cell.h * .16:.1f} "
                         f"rectangle {x - cell.w * .15:.1f},{y + cell.h * .16:.1f} "
                         f"{x + cell.w * .15:.1f},{y + cell.h * .2:.1f}"])
    if value == 7:
        parts = [stick(cell, .5, .16, .26, .16, RED)]
        parts += [stick(cell, x, y, .27, .16, GREEN) for y in (.5, .83) for x in (.2, .5, .8)]
        return " ".join(parts)
    length = .27 if value == 9 else .4
    width = .12 if value == 8 else .16
    return " ".join(stick(cell, u, v, length, width, c) for u, v, c in BAMBOO[value])


NUMERALS = "一二三四五六七八九"
WINDS = "东南西北"
SEASONS = "春夏秋冬"
FLOWERS = "梅兰竹菊"


def face(cell, color, value):
    w, h = cell.w, cell.h
    big = min(w * .9, h * .62)
    if color == 0:
        return " ".join([text(cell, .5, .44, NUMERALS[value - 1], min(w * .78, h * .44), NAVY),
                         text(cell, .5, .9, "万", min(w * .82, h * .46), RED)])
    if color == 1:
        return dots_face(cell, value)
    if color == 2:
        return bamboo_face(cell, value)
    if color == 3 and value <= 4:
        return text(cell, .5, .72, WINDS[value - 1], big, NAVY)
    if color == 4 and value == 1:
        return text(cell, .5, .72, "中", big, RED)
    if color == 4 and value == 2:
        return text(cell, .5, .72, "发", big, GREEN)
    if color == 4 and value == 3:
        x0, y0 = cell.at(.16, .14)
        x1, y1 = cell.at(.84, .86)
        t = w * .07
        return (f"fill none stroke '{BLUE}' stroke-width {t:.1f} "
                f"rectangle {x0:.1f},{y0:.1f} {x1:.1f},{y1:.1f} "
                f"stroke-width {t * .5:.1f} rectangle {x0 + 2.2 * t:.1f},{y0 + 2.2 * t:.1f} "
                f"{x1 - 2.2 * t:.1f},{y1 - 2.2 * t:.1f} stroke none")
    if color in (5, 6) and value <= 4:
        glyphs, ink = (SEASONS, GREEN) if color == 5 else (FLOWERS, MAGENTA)
        return " ".join([text(cell, .24, .3, str(value), h * .26, ink, DIGIT_FONT),
                         text(cell, .52, .9, glyphs[value - 1], min(w * .86, h * .58), ink)])
    if color == 7:
        x0, y0 = cell.at(.06, .04)
        x1, y1 = cell.at(.94, .96)
        return " ".join([f"fill '{GOLD}' stroke none roundrectangle {x0:.1f},{y0:.1f} "
                         f"{x1:.1f},{y1:.1f} {w * .12:.1f},{w * .12:.1f}",
                         text(cell, .5, .42, str(value), h * .36, NAVY, DIGIT_FONT),
                         text(cell, .5, .9, "搭", min(w * .78, h * .44), RED)])
    return ""  # no such tile: a blank face


def draw_sheet(path, fw, fh, angle):
    """The face sheet of (fw x fh) faces at angle 0, turned to `angle`."""
    W, H = 9 * fw, 8 * fh
    cmd = ["convert", "-size", f"{W * SCALE}x{H * SCALE}", f"xc:{hexcolor(IVORY)}"]
    for color in range(8):
        for value in range(1, 10):
            mvg = face(Cell(value - 1, color, fw, fh), color, value)
            if mvg:
                cmd += ["-draw", mvg]
    cmd += ["-filter", "Box", "-resize", f"{W}x{H}!"]
    # 90 and 270 turn the whole sheet; 180 turns each face but keeps values left to right.
    if angle == 90:
        cmd += ["-rotate", "90"]
    elif angle == 270:
        cmd += ["-rotate", "270"]
    elif angle == 180:
        cmd += ["-crop", "9x1@", "+repage", "-flop", "+append", "-flip"]
    cmd += ["-alpha", "off", "-type", "TrueColor", "BMP3:" + path]
    subprocess.run(cmd, check=True)


# ---------------------------------------------------------------------------------------------
# Frames, backs, stacks and dice (drawn here, so that picture and mask agree to the pixel)


class Picture:
    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]
        self.mask = [[False] * w for _ in range(h)]

    def rounded(self, r):
        """Marks the rounded rectangle of the whole picture as the tile (the mask)."""
        for y in range(self.h):
            for x in range(self.w):
                dx = max(r - x - 0.5, x + 0.5 - (self.w - r), 0)
                dy = max(r - y - 0.5, y + 0.5 - (self.h - r), 0)
                self.mask[y][x] = dx * dx + dy * dy <= r * r

    def band(self, y0, y1, color, x0=0, x1=None):
        x1 = self.w if x1 is None else x1
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = color

    def outline(self, color):
        """Draws the tile's edge: mask pixels next to a background pixel."""
        edge = []
        for y in range(self.h):
            for x in range(self.w):
                if not self.mask[y][x]:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if not (0 <= nx < self.w and 0 <= ny < self.h) or not self.mask[ny][nx]:
                        edge.append((x, y))
                        break
        for x, y in edge:
            self.px[y][x] = color

    def turned(self):
        """The picture turned 90 degrees clockwise."""
        t = Picture(self.h, self.w)
        for y in range(self.h):
            for x in range(self.w):
                t.px[x][self.h - 1 - y] = self.px[y][x]
                t.mask[x][self.h - 1 - y] = self.mask[y][x]
        return t


def lying_tile(w, h, thick, face_up=True, r=3):
    """A tile lying on the table: face (or back) up, its side showing below."""
    p = Picture(w, h)
    p.rounded(r)
    p.band(0, h - thick, IVORY if face_up else BACK)
    p.band(h - thick, h - thick // 2, SHADE if face_up else IVORY)
    p.band(h - thick // 2, h, BACK if face_up else SHADE)
    if not face_up:
        p.band(2, 3, BACK_LIGHT, 2, w - 2)
    p.outline(EDGE)
    return p


def standing_tile(w, h, top, bottom, r=4):
    """A tile standing towards the player: its back shows on top, the face below."""
    p = Picture(w, h)
    p.rounded(r)
    p.band(0, top - 2, BACK)
    p.band(2, 3, BACK_LIGHT, 3, w - 3)
    p.band(top - 2, top, SHADE)
    p.band(top, h - bottom, IVORY)
    p.band(h - bottom, h, SHADE)
    p.outline(EDGE)
    return p


def tile_back(w, h, band, r=3):
    """A standing tile seen from behind (the opponent's hand)."""
    p = Picture(w, h)
    p.rounded(r)
    p.band(0, band, IVORY)
    p.band(band, h, BACK)
    p.band(band + 2, band + 3, BACK_LIGHT, 2, w - 2)
    p.outline(EDGE)
    return p


def wall_stack(w, h, side):
    """A face-down tile of the wall seen from above, its side towards the player."""
    p = Picture(w, h)
    p.rounded(2)
    p.band(0, h - side, BACK)
    p.band(1, 2, BACK_LIGHT, 2, w - 2)
    p.band(h - side, h, IVORY)
    p.band(h - 2, h, SHADE)
    p.outline(EDGE)
    return p




def write_masked(path, p):
    """Picture on the left, mask on the right."""
    def pixel(x, y):
        if x < p.w:
            return p.px[y][x] if p.mask[y][x] else (255, 255, 255)
        return (255, 255, 255) if p.mask[y][x - p.w] else (0, 0, 0)
    write_bmp(path, 2 * p.w, p.h, pixel)


PIPS = {
    1: [(.5, .5)],
    2: [(.28, .28), (.72, .72)],
    3: [(.26, .26), (.5, .5), (.74, .74)],
    4: [(.28, .28), (.72, .28), (.28, .72), (.72, .72)],
    5: [(.27, .27), (.73, .27), (.5, .5), (.27, .73), (.73, .73)],
    6: [(.28, .24), (.72, .24), (.28, .5), (.72, .5), (.28, .76), (.72, .76)],
}


def die_pixels(n, size, ss=4):
    """BGRA rows (top first) of die face n, drawn ss x ss times over and averaged."""
    red = n in (1, 4)
    pip_r = .15 if n == 1 else .095
    corner = .2
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    u = (x + (sx + .5) / ss) / size
                    v = (y + (sy + .5) / ss) / size
                    du = max(corner - u, u - (1 - corner), 0)
                    dv = max(corner - v, v - (1 - corner), 0)
                    inside = du * du + dv * dv <= corner * corner * 0.98
                    if not inside:
                        continue
                    edge = du * du + dv * dv > (corner - .06) ** 2
                    color = (150, 150, 150) if edge else (252, 252, 248)
                    for pu, pv in PIPS[n]:
                        if (u - pu) ** 2 + (v - pv) ** 2 <= pip_r ** 2:
                            color = (200, 30, 30) if red else (20, 20, 20)
                    acc[0] += color[2]
                    acc[1] += color[1]
                    acc[2] += color[0]
                    acc[3] += 255
            k = ss * ss
            a = acc[3] // k
            if a:
                row.append((acc[0] * 255 // acc[3], acc[1] * 255 // acc[3], acc[2] * 255 // acc[3], a))
            else:
                row.append((0, 0, 0, 0))
        out.append(row)
    return out


def write_icon(path, n):
    images = []
    for size in (24, 32):
        rows = die_pixels(n, size)
        xor = b"".join(bytes(c for px in rows[y] for c in px) for y in range(size - 1, -1, -1))
        mask_stride = ((size + 31) // 32) * 4
        and_rows = []
        for y in range(size - 1, -1, -1):
            bits = bytearray(mask_stride)
            for x in range(size):
                if rows[y][x][3] < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            and_rows.append(bytes(bits))
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                           len(xor) + len(and_rows) * mask_stride, 0, 0, 0, 0)
        images.append((size, info + xor + b"".join(and_rows)))
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, blob in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset + len(blobs))
        blobs += blob
    with open(path, "wb") as f:
        f.write(head + entries + blobs)


# ---------------------------------------------------------------------------------------------
# The sets and their resource ids

# Small set (every angle): faces 22 x 30, tiles 27 x 37 upright, 37 x 27 lying (36 x 27 at 270).
# Large set: faces 36 x 46; standing 40 x 66 (face at 2, 17), lying 38 x 52 (face at 1, 2).
# Medium set: faces 28 x 36; standing 34 x 51 (face at 3, 12), lying 32 x 42 (face at 2, 3).


def build(out, png):
    os.makedirs(out, exist_ok=True)
    table, board = [], []

    def bmp(rid, name):
        return rid, "BITMAP", os.path.join(out, name)

    sheets = [(201, 0), (202, 90), (203, 180), (204, 270)]
    for rid, angle in sheets:
        draw_sheet(os.path.join(out, f"faces_small_{angle}.bmp"), 22, 30, angle)
        table.append(bmp(rid, f"faces_small_{angle}.bmp"))
    draw_sheet(os.path.join(out, "faces_large.bmp"), 36, 46, 0)
    draw_sheet(os.path.join(out, "faces_medium.bmp"), 28, 36, 0)
    table += [bmp(240, "faces_large.bmp"), bmp(246, "faces_medium.bmp")]

    upright = lying_tile(27, 37, 4)
    sideways = lying_tile(37, 27, 4)
    sideways_270 = lying_tile(36, 27, 4)
    pictures = {
        "frame_small_0.bmp": upright, "frame_small_90.bmp": sideways,
        "frame_small_180.bmp": upright, "frame_small_270.bmp": sideways_270,
        "down_small_0.bmp": lying_tile(27, 37, 4, face_up=False),
        "down_small_90.bmp": lying_tile(37, 27, 4, face_up=False),
        "frame_large_a.bmp": standing_tile(40, 66, 17, 3),
        "frame_large_b.bmp": lying_tile(38, 52, 4, r=4),
        "down_large.bmp": lying_tile(38, 52, 4, face_up=False, r=4),
        "frame_medium_a.bmp": standing_tile(34, 51, 12, 3),
        "frame_medium_b.bmp": lying_tile(32, 42, 3, r=4),
        "down_medium.bmp": lying_tile(32, 42, 3, face_up=False, r=4),
        "back_small.bmp": tile_back(26, 38, 5),
        "back_medium.bmp": tile_back(30, 44, 6),
        "stack_upright.bmp": wall_stack(23, 30, 8),
    }
    pictures["stack_lying.bmp"] = wall_stack(23, 30, 8).turned()
    for name, p in pictures.items():
        write_masked(os.path.join(out, name), p)

    # Frames A 205-208 and B 209-212 at 0, 90, 180, 270; the small set's lying tiles serve both.
    for base in (205, 209):
        for k, angle in enumerate((0, 90, 180, 270)):
            table.append(bmp(base + k, f"frame_small_{angle}.bmp"))
    # Extras 213-217: mode 3 face-down row, mode 4 the opponent's hand, mode 5 a larger back,
    # then the upright and the lying wall stack.
    table += [bmp(213, "down_small_0.bmp"), bmp(214, "back_small.bmp"),
              bmp(215, "back_medium.bmp"), bmp(216, "stack_upright.bmp"),
              bmp(217, "stack_lying.bmp")]
    table += [bmp(222, "down_small_0.bmp"), bmp(223, "down_small_90.bmp"),
              bmp(224, "down_small_0.bmp"), bmp(225, "down_small_90.bmp")]
    table += [bmp(241, "frame_large_a.bmp"), bmp(242, "frame_large_b.bmp"),
              bmp(243, "down_large.bmp"), bmp(247, "frame_medium_a.bmp"),
              bmp(248, "frame_medium_b.bmp"), bmp(249, "down_medium.bmp")]
    for n in range(1, 7):
        name = f"die_{n}.ico"
        write_icon(os.path.join(out, name), n)
        table.append((479 + n, "ICON", os.path.join(out, name)))

    # The board: its face sheet and the eight frames.
    board = [entry for entry in table if entry[0] == 201 or 205 <= entry[0] <= 212]

    for name, entries, what in (("table_tile_art.rc", table, "table display"),
                                ("board_tile_art.rc", board, "option board")):
        with open(os.path.join(out, name), "w", encoding="ascii") as f:
            f.write(f"// Tile art of the {what}, written by make_tile_art.py.\n")
            for rid, kind, path in entries:
                f.write(f'{rid} {kind} "{path}"\n')

    if png:
        for name in ("faces_small_0", "faces_small_90", "faces_small_180", "faces_large",
                     "faces_medium", "frame_large_a", "frame_small_0", "stack_upright"):
            src = os.path.join(out, name + ".bmp")
            subprocess.run(["convert", src, "-scale", "300%", os.path.join(out, name + ".png")],
                           check=True)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(args) != 1:
        sys.exit(__doc__)
    build(args[0], "--png" in sys.argv)


if __name__ == "__main__":
    main()
