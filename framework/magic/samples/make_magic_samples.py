#!/usr/bin/env python3
"""Makes the sample magic-action and avatar files with ImageMagick.

Usage: make_magic_samples.py <base-dir> <image-dir>

<base-dir> gets what the play table reads under its base folder: config/actionconfig.ini,
config/avatarconfig.ini, OzkMagicAction/ (a 40 x 40 preview and a movie file per action) and
ozkshow/ (the two default avatars, animated GIFs). <image-dir> gets the pictures of the picker
and the send box.
"""
import os
import subprocess
import sys

FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FONT_LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# name (GBK in the catalogue), shape, colour, show size
ACTIONS = [
    [("哈哈笑", "circle", (250, 200, 40), "200,200"), ("送花", "star", (230, 60, 120), "400,300"),
     ("鼓掌", "heart", (240, 120, 40), None), ("飞吻", "heart", (220, 40, 90), "300,300")],
    [("扔鸡蛋", "circle", (245, 240, 220), "250,250"), ("炸弹", "star", (60, 60, 60), "400,400")],
]


def font():
    return FONT_CJK if os.path.exists(FONT_CJK) else FONT_LATIN


def run(args):
    subprocess.run(["convert"] + args, check=True)


def shape_draw(shape, size):
    c = size // 2
    r = size // 2 - 3
    if shape == "circle":
        return f"circle {c},{c} {c},{c - r}"
    if shape == "star":
        import math
        pts = []
        for i in range(10):
            a = i * math.pi / 5
            rad = r if i % 2 == 0 else r * 0.45
            pts.append(f"{c + rad * math.sin(a):.0f},{c - rad * math.cos(a):.0f}")
        return "polygon " + " ".join(pts)
    return f"roundrectangle {c - r},{c - r} {c + r},{c + r} 8,8"


def button(path, text, top, bottom):
    run(["-size", "60x24", f"gradient:{top}-{bottom}", "-fill", "none", "-stroke", "#5a3a10",
         "-draw", "roundrectangle 0,0 59,23 6,6", "-stroke", "none", "-fill", "#2a1a00",
         "-font", font(), "-pointsize", "13", "-gravity", "center", "-annotate", "+0+0", text,
         path])


def panel(path, w, h):
    """A dialog body with a close box 10 pixels in from the top right corner."""
    run(["-size", f"{w}x{h}", "gradient:#fdf3d8-#f0d49a", "-fill", "none", "-stroke", "#a0702a",
         "-strokewidth", "2", "-draw", f"roundrectangle 1,1 {w - 2},{h - 2} 8,8",
         "-draw", f"line {w - 34},16 {w - 16},34", "-draw", f"line {w - 16},16 {w - 34},34",
         path])


def main():
    base, images = sys.argv[1], sys.argv[2]
    for d in ("config", "OzkMagicAction", "ozkshow"):
        os.makedirs(os.path.join(base, d), exist_ok=True)
    os.makedirs(images, exist_ok=True)

    lines = ["[PUBLIC]", f"typecount={len(ACTIONS)}"]
    for t, items in enumerate(ACTIONS):
        lines += [f"[TYPE{t}]", f"itemcount={len(items)}"]
        for i, (name, shape, colour, size) in enumerate(items):
            stem = f"act{t}{i}"
            lines += [f"item{i}ID={100 * t + i + 1}", f"item{i}name={name}",
                      f"item{i}price={(i + 1) * 10}", f"item{i}preview={stem}.png",
                      f"item{i}swf={stem}.kvmv"]
            if size:
                lines.append(f"item{i}showsize={size}")
            rgb = "rgb({},{},{})".format(*colour)
            run(["-size", "40x40", "xc:#fffaf0", "-fill", rgb, "-stroke", "#402020",
                 "-draw", shape_draw(shape, 40), os.path.join(base, "OzkMagicAction", stem + ".png")])
            with open(os.path.join(base, "OzkMagicAction", stem + ".kvmv"), "w") as f:
                f.write(f"KVMV 1\nshape={shape}\ncolor={colour[0]},{colour[1]},{colour[2]}\n"
                        "frames=40\n")
    with open(os.path.join(base, "config", "actionconfig.ini"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("gbk"))

    with open(os.path.join(base, "config", "avatarconfig.ini"), "wb") as f:
        f.write(b"[PUBLIC]\r\nAvactOrigionSize=90,160\r\nAvactCoreRect=10,20,80,150\r\n"
                b"defaultavatarmale=male.gif\r\ndefaultavatarfemale=female.gif\r\n")
    for name, colour in (("male", "#3060c0"), ("female", "#c03070")):
        frames = []
        for k in range(3):
            frames += ["(", "-size", "90x160", "xc:#e8f0f8", "-fill", colour,
                       "-draw", f"circle 45,{50 + 3 * k} 45,{22 + 3 * k}",
                       "-draw", f"roundrectangle 15,{90 + 3 * k} 75,158 12,12", ")"]
        run(["-delay", "30", "-loop", "0"] + frames + [os.path.join(base, "ozkshow", name + ".gif")])

    panel(os.path.join(images, "select_dlg.png"), 270, 234)
    panel(os.path.join(images, "actionword_dlg.png"), 300, 280)
    run(["-size", "246x174", "xc:#fffaf0", os.path.join(images, "select_bk.png")])
    button(os.path.join(images, "preview.png"), "预览", "#f8e0a0", "#e0b050")
    button(os.path.join(images, "preview_light.png"), "预览", "#fff0c0", "#f0c870")
    button(os.path.join(images, "send_b.png"), "发送", "#f8e0a0", "#e0b050")
    button(os.path.join(images, "send_light.png"), "发送", "#fff0c0", "#f0c870")
    button(os.path.join(images, "cancel_b.png"), "离开", "#f8e0a0", "#e0b050")
    button(os.path.join(images, "cancel_light.png"), "离开", "#fff0c0", "#f0c870")


if __name__ == "__main__":
    main()
