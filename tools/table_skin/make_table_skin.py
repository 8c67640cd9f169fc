#!/usr/bin/env python3
"""Draws the table display's skin and its resource pictures and sounds.

Usage: make_table_skin.py <out-dir>

Writes into <out-dir>:
  skin/    the avatar skin read at run time from the directory given to the control: board,
           eat, peng, gang, hu, clock, center, ting, zhuang, ready, angry1/2, laugh1/2 (PNG),
           the clock digits 0.ico .. 9.ico, and the magic-action button Action.bmp (colour)
           and Action_gray.bmp (normal look);
  res/     the pictures built into KorvelTable.dll: the action button strips 237 (lit) and 238
           (gray), start 244, dice 245, the tool icons, the three marks as image and mask,
           the score list header 460-462, the meld area 470, and the sounds IDW_DEAL, IDW_PING;
  table_skin.rc   the resource script naming them (and dialog 104).

Pictures with text are drawn by ImageMagick with the CJK font; bitmaps that need exact masks,
icons and sounds are written here.
"""
import math
import os
import struct
import subprocess
import sys
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from bmp_file import write_bmp  # noqa: E402

CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
DIGIT_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def im(*args):
    subprocess.run(["convert", *[str(a) for a in args]], check=True)


def label(out, w, h, text, fill, stroke, size, bg="none", font=CJK_FONT, extra=()):
    im("-size", f"{w}x{h}", f"xc:{bg}", "-font", font, "-pointsize", size, "-gravity", "center",
       "-stroke", stroke, "-strokewidth", max(1, size // 14), "-fill", fill,
       "-annotate", "+0+0", text, *extra, out)


# ---------------------------------------------------------------------------------------------
# Skin (PNG and ICO files)


def center(out):
    # Felt: a radial green with a little grain and a thin gilt line inside the edge. Eight bits a
    # channel, as the screen shows it: the table reads and stretches this picture before it first
    # shows, and sixteen bits a channel (the gradient's own depth) would make that a deal slower.
    im("-size", "1024x768", "radial-gradient:#2f9254-#12502b",
       "-attenuate", "0.25", "+noise", "Gaussian", "-blur", "0x0.6",
       "-fill", "none", "-stroke", "#c9a54a", "-strokewidth", "2",
       "-draw", "roundrectangle 8,8 1015,759 18,18",
       "-stroke", "#1d6b3a", "-strokewidth", "1",
       "-draw", "roundrectangle 14,14 1009,753 14,14", "-depth", "8", out)


def board(out):
    im("-size", "90x160", "xc:none", "-fill", "#5b3a1e", "-draw", "roundrectangle 0,0 89,159 8,8",
       "-fill", "#e8dcc0", "-draw", "roundrectangle 5,5 84,154 5,5", out)


MELDS = {"eat": ("吃", "#ff9800"), "peng": ("碰", "#2979ff"),
         "gang": ("杠", "#ab47bc"), "hu": ("胡", "#ff1744")}


def meld_word(out, text, color):
    im("-size", "150x110", "xc:none", "-font", CJK_FONT, "-pointsize", "86", "-gravity", "center",
       "-fill", "#00000080", "-annotate", "+4+4", text,
       "-stroke", "#fff8e1", "-strokewidth", "7", "-fill", color, "-annotate", "+0+0", text,
       "-stroke", "none", "-annotate", "+0+0", text, out)


def clock(out):
    im("-size", "64x64", "xc:none",
       "-fill", "#5d4037", "-draw", "circle 32,32 32,1",
       "-fill", "#fffdf3", "-draw", "circle 32,32 32,5",
       "-fill", "#5d4037", "-draw", "rectangle 28,0 36,4", out)


MARKS = {"ting": ("听", "#1565c0"), "zhuang": ("庄", "#c62828"), "ready": ("准", "#2e7d32")}


def mark_png(out, text, color):
    im("-size", "27x27", "xc:none", "-fill", color, "-stroke", "#fff3c4", "-strokewidth", "1.5",
       "-draw", "roundrectangle 1,1 25,25 6,6", "-font", CJK_FONT, "-pointsize", "17",
       "-gravity", "center", "-stroke", "none", "-fill", "white", "-annotate", "+0+0", text, out)


def face(out, mood, frame):
    """A round face: angry (red, frowning) or laughing (yellow, open mouth); frames differ."""
    w, h = 85, 80
    cx, cy, r = 42, 40, 36
    skin = "#ffca28" if mood == "laugh" else "#ef5350"
    draw = [f"fill {skin} stroke #6d4c41 stroke-width 2 circle {cx},{cy} {cx},{cy - r}"]
    if mood == "laugh":
        eye = 4 if frame == 1 else 2
        draw += [f"fill none stroke #3e2723 stroke-width 3 arc 20,24 36,{34 + eye} 180,360",
                 f"fill none stroke #3e2723 stroke-width 3 arc 48,24 64,{34 + eye} 180,360",
                 f"fill #6d1b1b stroke #3e2723 stroke-width 2 "
                 f"path 'M 22,{46 + frame} Q 42,{74 + 3 * frame} 62,{46 + frame} Z'"]
    else:
        tilt = 3 if frame == 1 else 0
        draw += [f"stroke #3e2723 stroke-width 3 line 18,{22 - tilt} 36,{30}",
                 f"stroke #3e2723 stroke-width 3 line 66,{22 - tilt} 48,{30}",
                 "fill #3e2723 stroke none circle 29,35 29,39", "fill #3e2723 circle 55,35 55,39",
                 f"fill none stroke #3e2723 stroke-width 3 arc 26,{56 - tilt} 58,{72 - tilt} 200,340"]
    args = ["-size", f"{w}x{h}", "xc:none"]
    for d in draw:
        args += ["-draw", d]
    im(*args, out)




def read_rgba(path):
    """(w, h, rows of (r, g, b, a)) of a picture, through ImageMagick."""
    size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                          capture_output=True, text=True).stdout.split()
    w, h = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], check=True,
                         capture_output=True).stdout
    px = [[tuple(raw[(y * w + x) * 4:(y * w + x) * 4 + 4]) for x in range(w)] for y in range(h)]
    return w, h, px


def to_bmp(png, bmp, matte=(255, 0, 255)):
    """A PNG flattened over a matte colour, as a 24-bit BMP."""
    w, h, px = read_rgba(png)

    def pixel(x, y):
        r, g, b, a = px[y][x]
        return tuple((c * a + m * (255 - a)) // 255 for c, m in zip((r, g, b), matte))
    write_bmp(bmp, w, h, pixel)


def write_icon(path, png):
    """A 32-bit icon (one 32 x 32 image with its AND mask) from a 32 x 32 PNG."""
    w, h, px = read_rgba(png)
    assert (w, h) == (32, 32), png
    xor = b"".join(bytes((b, g, r, a)) for y in range(h - 1, -1, -1) for (r, g, b, a) in px[y])
    stride = 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(stride)
        for x in range(w):
            if px[y][x][3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    blob = info + xor + bytes(mask)
    head = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(blob), 22)
    with open(path, "wb") as f:
        f.write(head + blob)


def digit_icon(out_dir, d, tmp):
    png = os.path.join(tmp, f"digit_{d}.png")
    im("-size", "32x32", "xc:none", "-font", DIGIT_FONT, "-pointsize", "30", "-gravity", "center",
       "-fill", "#b71c1c", "-annotate", "+0+1", str(d), png)
    write_icon(os.path.join(out_dir, f"{d}.ico"), png)


def action_button(out_dir, tmp):
    for name, colour, star in (("Action", "#8e24aa", "#ffd54f"), ("Action_gray", "#757575", "#e0e0e0")):
        png = os.path.join(tmp, name + ".png")
        im("-size", "38x40", f"xc:{colour}", "-fill", "none", "-stroke", "#00000060",
           "-draw", "roundrectangle 0,0 37,39 6,6", "-fill", star, "-stroke", "none",
           "-draw", "polygon 19,5 23,15 33,15 25,21 28,31 19,25 10,31 13,21 5,15 15,15",
           "-font", CJK_FONT, "-pointsize", "9", "-gravity", "south", "-fill", "white",
           "-annotate", "+0+1", "动作", png)
        to_bmp(png, os.path.join(out_dir, name + ".bmp"), matte=(0, 0, 0))


# ---------------------------------------------------------------------------------------------
# Resources of the control


STRIP = ["胡", "听", "吃", "碰", "杠", "出", "过"]  # frames 0..6


def action_strips(res, tmp):
    for rid, lit in ((237, True), (238, False)):
        frames = []
        for k, text in enumerate(STRIP):
            png = os.path.join(tmp, f"strip_{rid}_{k}.png")
            top, bottom = ("#ffb74d", "#e65100") if lit else ("#bdbdbd", "#8d8d8d")
            if lit and k == 0:
                top, bottom = "#ff8a80", "#c62828"
            im("-size", "36x40", f"gradient:{top}-{bottom}", "-fill", "none",
               "-stroke", "#5d4037" if lit else "#757575", "-strokewidth", "2",
               "-draw", "roundrectangle 1,1 34,38 6,6", "-font", CJK_FONT, "-pointsize", "22",
               "-gravity", "center", "-stroke", "none",
               "-fill", "#fffde7" if lit else "#eeeeee", "-annotate", "+0+0", text, png)
            frames.append(png)
        strip = os.path.join(tmp, f"strip_{rid}.png")
        im(*frames, "+append", strip)
        to_bmp(strip, os.path.join(res, f"strip_{rid}.bmp"))


def text_button(res, tmp, name, w, h, text, top, bottom, size):
    png = os.path.join(tmp, name + ".png")
    im("-size", f"{w}x{h}", f"gradient:{top}-{bottom}", "-fill", "none", "-stroke", "#4e342e",
       "-strokewidth", "2", "-draw", f"roundrectangle 1,1 {w - 2},{h - 2} 6,6",
       "-font", CJK_FONT, "-pointsize", size, "-gravity", "center", "-stroke", "none",
       "-fill", "white", "-annotate", "+0+0", text, png)
    to_bmp(png, os.path.join(res, name + ".bmp"))


TOOL_ICONS = {416: ("存", "#1e88e5"), 417: ("自", "#43a047"), 418: ("停", "#6d4c41"),
              421: ("进", "#00897b"), 423: ("暂", "#fb8c00"), 424: ("续", "#6d4c41"),
              425: ("左", "#546e7a"), 426: ("右", "#546e7a"), 258: ("退", "#e53935"),
              259: ("设", "#5e35b1")}


def tool_icons(res, tmp):
    for rid, (text, colour) in TOOL_ICONS.items():
        png = os.path.join(tmp, f"icon_{rid}.png")
        im("-size", "32x32", "xc:none", "-fill", colour, "-stroke", "white", "-strokewidth", "1.5",
           "-draw", "roundrectangle 2,2 29,29 7,7", "-font", CJK_FONT, "-pointsize", "19",
           "-gravity", "center", "-stroke", "none", "-fill", "white", "-annotate", "+0+0", text, png)
        write_icon(os.path.join(res, f"icon_{rid}.ico"), png)


def program_icon(res, tmp):
    """The game client's own icon (its resource 102): a tile on green, for res/program.ico."""
    png = os.path.join(tmp, "program.png")
    im("-size", "32x32", "xc:none", "-fill", "#1b5e20", "-draw", "roundrectangle 0,0 31,31 6,6",
       "-fill", "#fff8e1", "-stroke", "#5d4037", "-strokewidth", "1",
       "-draw", "roundrectangle 7,4 24,27 3,3", "-font", CJK_FONT, "-pointsize", "15",
       "-gravity", "center", "-stroke", "none", "-fill", "#c62828", "-annotate", "+0+0", "中", png)
    write_icon(os.path.join(res, "program.ico"), png)


def mark_pairs(res, tmp):
    for (image_id, mask_id), key in (((463, 464), "ting"), ((465, 466), "zhuang"),
                                     ((256, 257), "ready")):
        png = os.path.join(tmp, f"mark_{key}.png")
        mark_png(png, *MARKS[key])
        w, h, px = read_rgba(png)
        write_bmp(os.path.join(res, f"mark_{image_id}.bmp"), w, h,
                  lambda x, y: px[y][x][:3] if px[y][x][3] >= 128 else (255, 255, 255))
        write_bmp(os.path.join(res, f"mark_{mask_id}.bmp"), w, h,
                  lambda x, y: (255, 255, 255) if px[y][x][3] >= 128 else (0, 0, 0))


def score_header(res):
    """Left cap, middle and right cap of the score list's header; magenta is see-through."""
    def band(y):
        t = y / 37
        return (int(46 + 40 * (1 - t)), int(125 + 60 * (1 - t)), int(50 + 30 * (1 - t)))

    def cap(right):
        def pixel(x, y):
            cx = 9 - x if right else x
            # A rounded top corner of radius 8.
            if y < 8 and cx < 8 and (8 - cx) ** 2 + (8 - y) ** 2 > 64:
                return (255, 0, 255)
            if y == 0 or cx == 0:
                return (200, 170, 80)
            return band(y)
        return pixel
    write_bmp(os.path.join(res, "list_left.bmp"), 10, 38, cap(False))
    write_bmp(os.path.join(res, "list_right.bmp"), 10, 38, cap(True))
    write_bmp(os.path.join(res, "list_mid.bmp"), 16, 38,
              lambda x, y: (200, 170, 80) if y == 0 else band(y))


def meld_area(res):
    write_bmp(os.path.join(res, "meld_area.bmp"), 200, 200, lambda x, y: (0, 128, 0))


def tone(path, parts, rate=22050):
    """A 16-bit mono WAVE of (frequency, seconds, volume) parts with short fades."""
    frames = bytearray()
    for freq, seconds, volume in parts:
        n = int(rate * seconds)
        for i in range(n):
            env = min(1.0, i / (rate * 0.004), (n - i) / (rate * 0.02))
            decay = math.exp(-3.0 * i / n)
            v = volume * env * decay * math.sin(2 * math.pi * freq * i / rate)
            frames += struct.pack("<h", int(v * 32767))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


DIALOG = """104 DIALOGEX 0, 0, 400, 300
STYLE DS_SETFONT | WS_CHILD
EXSTYLE WS_EX_CONTROLPARENT
FONT 10, L"\\x5B8B\\x4F53"
BEGIN
  CONTROL "", 306, "Button", BS_OWNERDRAW | WS_TABSTOP, 286, 183, 19, 14
  CONTROL "", 307, "Button", BS_OWNERDRAW | WS_TABSTOP, 307, 182, 20, 14
  CONTROL "", 308, "Button", BS_OWNERDRAW | WS_TABSTOP, 189, 185, 18, 14
  CONTROL "", 309, "Button", BS_OWNERDRAW | WS_TABSTOP, 217, 184, 16, 14
  CONTROL "", 310, "Button", BS_OWNERDRAW | WS_TABSTOP, 275, 116, 31, 17
  CONTROL "", 311, "Button", BS_OWNERDRAW | WS_TABSTOP, 246, 183, 17, 14
  CONTROL "", 312, "Button", BS_OWNERDRAW | WS_TABSTOP, 267, 183, 17, 14
  CONTROL L"\\x4FDD\\x5B58", 313, "Button", BS_OWNERDRAW | NOT WS_VISIBLE | WS_TABSTOP, 3, 3, 19, 14
  CONTROL L"\\x81EA\\x52A8\\x51FA\\x724C", 314, "Button", BS_OWNERDRAW | NOT WS_VISIBLE | WS_TABSTOP, 24, 3, 15, 14
  CONTROL "", 315, "Button", BS_OWNERDRAW | WS_TABSTOP, 142, 186, 15, 14
  CONTROL L"\\x6682\\x505C", 321, "Button", BS_OWNERDRAW | NOT WS_VISIBLE | WS_TABSTOP, 41, 2, 15, 14
  CONTROL "", 322, "Button", BS_OWNERDRAW | WS_TABSTOP, 308, 117, 38, 18
  CONTROL L"\\x4E0B\\x4E00\\x6B65", 323, "Button", BS_OWNERDRAW | NOT WS_VISIBLE | WS_TABSTOP, 58, 3, 15, 14
  CONTROL L"\\x8BBE\\x7F6E", 319, "Button", BS_OWNERDRAW | NOT WS_VISIBLE | WS_TABSTOP, 222, 15, 50, 14
  CONTROL L"\\x9000\\x51FA", 320, "Button", BS_OWNERDRAW | NOT WS_VISIBLE | WS_TABSTOP, 276, 15, 50, 14
  CONTROL "", 201, "Button", BS_OWNERDRAW | WS_TABSTOP, 350, 252, 31, 18
END
"""


def build(out):
    skin = os.path.join(out, "skin")
    res = os.path.join(out, "res")
    tmp = os.path.join(out, "tmp")
    for d in (skin, res, tmp):
        os.makedirs(d, exist_ok=True)

    center(os.path.join(skin, "center.png"))
    board(os.path.join(skin, "board.png"))
    for name, (text, colour) in MELDS.items():
        meld_word(os.path.join(skin, name + ".png"), text, colour)
    clock(os.path.join(skin, "clock.png"))
    for name, (text, colour) in MARKS.items():
        mark_png(os.path.join(skin, name + ".png"), text, colour)
    for mood in ("angry", "laugh"):
        for frame in (1, 2):
            face(os.path.join(skin, f"{mood}{frame}.png"), mood, frame)
    for d in range(10):
        digit_icon(skin, d, tmp)
    action_button(skin, tmp)

    action_strips(res, tmp)
    text_button(res, tmp, "start", 49, 30, "开始", "#66bb6a", "#1b5e20", 15)
    text_button(res, tmp, "dice", 63, 30, "掷骰子", "#ffca28", "#e65100", 14)
    tool_icons(res, tmp)
    program_icon(res, tmp)
    mark_pairs(res, tmp)
    score_header(res)
    meld_area(res)
    tone(os.path.join(res, "deal.wav"), [(1800, 0.035, 0.35)])
    tone(os.path.join(res, "ping.wav"), [(1318, 0.18, 0.45)])

    entries = [(237, "BITMAP", "strip_237.bmp"), (238, "BITMAP", "strip_238.bmp"),
               (244, "BITMAP", "start.bmp"), (245, "BITMAP", "dice.bmp"),
               (460, "BITMAP", "list_left.bmp"), (461, "BITMAP", "list_mid.bmp"),
               (462, "BITMAP", "list_right.bmp"), (470, "BITMAP", "meld_area.bmp")]
    for rid in (463, 464, 465, 466, 256, 257):
        entries.append((rid, "BITMAP", f"mark_{rid}.bmp"))
    for rid in TOOL_ICONS:
        entries.append((rid, "ICON", f"icon_{rid}.ico"))
    with open(os.path.join(out, "table_skin.rc"), "w", encoding="ascii") as f:
        f.write("// Pictures, sounds and the button dialog of the table display, written by\n"
                "// make_table_skin.py.\n#include <windows.h>\n\n")
        for rid, kind, name in entries:
            f.write(f'{rid} {kind} "{os.path.join(res, name)}"\n')
        f.write(f'IDW_DEAL WAVE "{os.path.join(res, "deal.wav")}"\n')
        f.write(f'IDW_PING WAVE "{os.path.join(res, "ping.wav")}"\n\n')
        f.write(DIALOG)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build(sys.argv[1])


if __name__ == "__main__":
    main()
