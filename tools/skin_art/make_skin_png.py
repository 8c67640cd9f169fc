#!/usr/bin/env python3
"""Draws the client's sample skin pictures (PNG) with ImageMagick.

Usage: make_skin_png.py <out-dir>

The pictures are the ones the table frame and its dialogs load from the skin image folder:
button strips (a normal and a highlighted look of the same size, one cell per button) and the
title buttons. Each picture is drawn cell by cell and joined left to right.
"""
import os
import subprocess
import sys

FONT_CJK = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FONT_LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def font():
    return FONT_CJK if os.path.exists(FONT_CJK) else FONT_LATIN


def run(args):
    subprocess.run(["convert", "-respect-parentheses"] + args, check=True)


def lozenge(w, h, top, bottom, border, radius=5):
    """A rounded button face with a vertical gradient, as convert arguments (one image)."""
    return ["(", "-size", f"{w}x{h}", f"gradient:{top}-{bottom}",
            "(", "-size", f"{w}x{h}", "xc:black", "-fill", "white",
            "-draw", f"roundrectangle 1,1 {w - 2},{h - 2} {radius},{radius}", ")",
            "-alpha", "off", "-compose", "CopyOpacity", "-composite", "-compose", "Over",
            "-fill", "none", "-stroke", border, "-strokewidth", "1",
            "-draw", f"roundrectangle 1,1 {w - 2},{h - 2} {radius},{radius}", ")"]


def labelled_strip(path, w, h, labels, top, bottom, border, ink):
    args = []
    for text in labels:
        args += lozenge(w, h, top, bottom, border)[:-1]
        args += ["-stroke", "none", "-fill", ink, "-font", font(), "-pointsize", "13",
                 "-gravity", "center", "-annotate", "+0+0", text, "-gravity", "NorthWest", ")"]
    run(args + ["+append", "PNG32:" + path])


# Glyphs of the title buttons in a 26 x 20 cell.
GLYPHS = {
    "min": ["-draw", "rectangle 8,13 17,14"],
    "max": ["-fill", "none", "-draw", "rectangle 8,5 17,14", "-draw", "line 8,6 17,6"],
    "restore": ["-fill", "none", "-draw", "rectangle 10,4 18,11", "-draw", "rectangle 7,8 15,15"],
    "close": ["-strokewidth", "2", "-draw", "line 8,5 17,14", "-draw", "line 17,5 8,14"],
}


def title_strip(path, glyphs, face_top, face_bottom, border, ink, close_top=None):
    args = []
    for g in glyphs:
        top = close_top if (g == "close" and close_top) else face_top
        args += lozenge(26, 20, top, face_bottom, border, radius=4)[:-1]
        args += ["-stroke", ink, "-fill", ink, "-strokewidth", "1"] + GLYPHS[g] + [")"]
    run(args + ["+append", "PNG32:" + path])


def dialog_background(path, w, h):
    """The notice boxes' background: a light panel with a framed edge and a title line."""
    run(["-size", f"{w}x{h}", "gradient:#fbfcfe-#d9e3ee",
         "-fill", "none", "-stroke", "#3d5f86", "-strokewidth", "2",
         "-draw", f"rectangle 1,1 {w - 2},{h - 2}",
         "-stroke", "#a9c4e0", "-strokewidth", "1",
         "-draw", f"rectangle 4,4 {w - 5},{h - 5}",
         "-stroke", "none", "-fill", "#6d8fb3", "-draw", f"rectangle 5,5 {w - 6},16",
         "-fill", "#3d5f86", "-draw", f"rectangle 5,16 {w - 6},17",
         "PNG32:" + path])


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, name)

    setup = ["商城", "帮助", "设置", "退出"]
    labelled_strip(p("setup_gray.png"), 52, 24, setup, "#4a5b6e", "#2b3645", "#7f93a8", "#d8e2ec")
    labelled_strip(p("setup_color.png"), 52, 24, setup, "#ffd36b", "#e08a16", "#fff0b8", "#402000")
    pages = ["上一页", "下一页"]
    labelled_strip(p("page_button_gray.png"), 60, 22, pages, "#4a5b6e", "#2b3645", "#7f93a8",
                   "#d8e2ec")
    labelled_strip(p("page_button_color.png"), 60, 22, pages, "#ffd36b", "#e08a16", "#fff0b8",
                   "#402000")

    dialog_background(p("dlg_bk.png"), 300, 85)
    labelled_strip(p("ok.png"), 50, 20, ["确定"], "#7fb0e0", "#3d6fa6", "#d0e4f7", "#ffffff")
    labelled_strip(p("off.png"), 50, 20, ["取消"], "#c9d3de", "#8d9aa8", "#eef2f6", "#1c2129")
    # The close dialog: force and request exit (coloured: enabled, grey: disabled), cancel.
    for name, text in (("force", "强制退出"), ("request", "请求退出")):
        labelled_strip(p(name + "_color.png"), 72, 22, [text], "#ffd36b", "#e08a16", "#fff0b8",
                       "#402000")
        labelled_strip(p(name + "_gray.png"), 72, 22, [text], "#c9d3de", "#8d9aa8", "#eef2f6",
                       "#6d7885")
    labelled_strip(p("cancel.png"), 72, 22, ["取消"], "#7fb0e0", "#3d6fa6", "#d0e4f7", "#ffffff")

    # A: the main window is maximised (restore glyph); B: it is not (maximise glyph).
    title_strip(p("icon_1.png"), ["min", "restore", "close"], "#3a4350", "#1c2129", "#5d6a7a",
                "#c9d3de")
    title_strip(p("icon_1_gray.png"), ["min", "restore", "close"], "#6d8fb3", "#3d5f86", "#a9c4e0",
                "#ffffff", close_top="#e0574a")
    title_strip(p("icon_2.png"), ["min", "max", "close"], "#3a4350", "#1c2129", "#5d6a7a",
                "#c9d3de")
    title_strip(p("icon_2_gray.png"), ["min", "max", "close"], "#6d8fb3", "#3d5f86", "#a9c4e0",
                "#ffffff", close_top="#e0574a")


if __name__ == "__main__":
    main()
