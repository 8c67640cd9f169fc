#!/usr/bin/env python3
"""Writes a sample installation folder for the chat control: a platform skin with two styles,
the skin's pictures, and the faces with their configuration.

Usage: make_sample_skin.py <output folder>

  Skin\\style.ini                 the style list; the current style is the second one
  Skin\\<style>\\config.ini        one per style (section mainwnd), with the dialog pictures
  Skin\\chat\\*.png, *.bmp         the chat pane's pictures, shared by the styles
  config\\faceconfig.ini           the faces and the flags
  face\\*.gif, *.png               their pictures: the faces animated, the flags still
  config\\advrss.xml               the adverts: a chat-line advert and two banners
  OzkAdv\\*.png                    the adverts' pictures

Ini files are written in GBK, the code page the control reads them in.
"""
import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from gif_file import gif_bytes  # noqa: E402

DEFAULT_STYLE = "缺省风格"
BLUE_STYLE = "蓝色海洋"
BLUE_DIR = "blue"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def bmp(width, height, pixel):
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
    return (struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0) +
            data)


def png(width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


def blend(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


def icon_button(base, glyph):
    """A rounded button face with a white glyph (a function of x, y in 0..1)."""
    def pixel(x, y, w=25, h=20):
        dx = min(x, w - 1 - x)
        dy = min(y, h - 1 - y)
        if dx + dy < 2:
            return (0, 0, 0, 0)
        if glyph(x / (w - 1), y / (h - 1)):
            return (255, 255, 255, 255)
        return blend(base, tuple(max(0, c - 60) for c in base), y / h) + (255,)
    return png(25, 20, pixel)


def glyph_font(u, v):
    return (abs(u - 0.5) < 0.08 and 0.2 < v < 0.8) or (0.25 < u < 0.75 and 0.18 < v < 0.3)


def glyph_face(u, v):
    d = math.hypot(u - 0.5, v - 0.5)
    return 0.3 < d < 0.38 or (abs(v - 0.4) < 0.06 and abs(abs(u - 0.5) - 0.12) < 0.05) or \
        (0.18 < d < 0.24 and v > 0.55)


def glyph_word(u, v):
    return 0.2 < u < 0.8 and any(abs(v - r) < 0.05 for r in (0.3, 0.5, 0.7))


def glyph_clear(u, v):
    return abs(abs(u - 0.5) - abs(v - 0.5)) < 0.06 and abs(u - 0.5) < 0.3


def glyph_set(u, v):
    d = math.hypot(u - 0.5, v - 0.5)
    return 0.25 < d < 0.34 or (abs(u - v) < 0.07 and abs(u - 0.5) < 0.25)


def send_button(w=45, h=25):
    def pixel(x, y):
        dx = min(x, w - 1 - x)
        dy = min(y, h - 1 - y)
        if dx + dy < 2:
            return (0, 0, 0, 0)
        u, v = x / (w - 1), y / (h - 1)
        if 0.3 < u < 0.7 and abs(v - 0.5) < 0.35 * (0.7 - u) / 0.4 + 0.02 and u > 0.3:
            return (255, 255, 255, 255)
        return blend((80, 170, 90), (40, 120, 50), v) + (255,)
    return png(w, h, pixel)


def channel_tab(top, bottom, w=80, h=24):
    def pixel(x, y):
        if y < 3 and (x < 3 - y or x > w - 4 + y):
            return (0, 0, 0, 0)
        return blend(top, bottom, y / h) + (255,)
    return png(w, h, pixel)


def config_ini(back, text, head, dialog_pictures):
    keys = [
        ("chatvalidskin", "1"), ("roomchatalignleft", "1"),
        ("dlgbmpfile", dialog_pictures[0]), ("dlgbtnbmpfile", dialog_pictures[1]),
        ("dlgbtnmousemovebmpfile", dialog_pictures[2]), ("dlgbuttonwidth", "59"),
        ("dlgbuttonheight", "21"), ("dlgbtntextcolor", "0,0,0"),
        ("dlgbtnfocustextcolor", "0,0,255"), ("dlgcaptionpoint", "40,6"),
        ("dlgcaptiontextcolor", "255,255,255"), ("dlgsysexitbtn", "23,4,3,28"),
        ("dlgclosebtnfile", dialog_pictures[3]), ("dlgclosebtnfocusfile", dialog_pictures[4]),
        ("chatbackmodal", "0"), ("chatchannelsize", "80,24"), ("chatcombopoint", "4,49"),
        ("chatcombosize", "100,20"), ("chatbtnpreventpoint", "190,49"),
        ("chatbtnpreventsize", "25,20"), ("chatbtnfontpoint", "4,49"),
        ("chatbtnfacepoint", "32,49"), ("chatbtnwordpoint", "60,49"),
        ("chatbtnclearpoint", "228,49"), ("chatbtnsendpoint", "-55,29"),
        ("chatbtnfontsize", "25,20"), ("chatbtnfacesize", "25,20"),
        ("chatbtnwordsize", "25,20"), ("chatbtnclearsize", "25,20"),
        ("chatbtnsendsize", "45,25"), ("chatsetbtnfocustextcolor", "205,5,5"),
        ("chatsetbtntextcolor", "255,255,20"), ("chatbtnsetpoint", "-48,2"),
        ("chatbtnsetsize", "44,16"), ("chatinputleft", "4"), ("chatinputright", "62"),
        ("chatinputbottom", "4"), ("chatinputheigh", "25"), ("chatoutputleft", "4"),
        ("chatoutputright", "4"), ("chatoutputbottom", "54"),
        ("chatbackcolor", back), ("chatoutrichbackcolor", "255,255,255"),
        ("chatinputrichbackcolor", "255,255,255"), ("chatadmintextcolor", "255,10,10"),
        ("chatbroadcastcolor", "225,100,150"), ("chatsysmsgcolor", "205,10,10"),
        ("chatprivatedefaultheadcolor", "128,128,160"),
        ("chatprivatedefaulttextcolor", "128,128,160"), ("chatdefaultheadcolor", head),
        ("chatdefaulttextcolor", text), ("chatvipheadcolor", "10,10,140"),
        ("chatviptextcolor", "10,10,140"),
    ]
    return ("[mainwnd]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys)).encode("gbk")


def face_picture(index):
    """A round face that blinks and moves its mouth: four frames of 200 ms."""
    hue = [(255, 214, 64), (255, 170, 80), (120, 200, 255), (150, 230, 120), (255, 140, 170),
           (200, 170, 255)][index % 6]
    def frame(step):
        def pixel(x, y):
            d = math.hypot(x - 11.5, y - 11.5)
            if d > 11:
                return (255, 255, 255)
            if d > 10:
                return (120, 80, 20)
            eye = abs(abs(x - 11.5) - 4) < 1.6
            if eye and (abs(y - 9) < (0.6 if step == 2 else 1.6)):
                return (60, 40, 20)
            mouth = 15 + (index % 3)
            half = 5 - (index % 2) * 2 - (step % 2)
            if abs(y - mouth) < 1.2 + 0.8 * (step == 3) and abs(x - 11.5) < half:
                return (160, 40, 40)
            return hue
        return pixel
    return gif_bytes(24, 24, [frame(step) for step in range(4)], delay_cs=20)


def flag_picture(colour):
    return png(16, 16, lambda x, y: colour + (255,) if 2 <= x <= 13 and 2 <= y <= 9 else
               ((90, 60, 30, 255) if x == 2 else (0, 0, 0, 0)))


def advert_picture():
    """A small coloured banner picture for the chat-line advert."""
    return png(60, 18, lambda x, y: blend((250, 120, 40), (250, 200, 60), x / 59) + (255,)
               if 1 <= y <= 16 else (255, 255, 255, 0))


ADVERTS = """<?xml version="1.0" encoding="GBK"?>
<ADVLIST>
  <CHATADV advtype="0">
    <VALIDFLAG>1</VALIDFLAG>
    <ITEMINFO type="1" localpath="\\OzkAdv\\">sale.png</ITEMINFO>
    <ITEMINFO type="0" blank="1" color="0000C0" url="http://example.com/">新春大礼包，点击领取！</ITEMINFO>
    <ISSUETIME><IssueDate>2026-01-01</IssueDate><STOPTIME>2027-01-01</STOPTIME>
      <FREQENCE interval="0" times="1" delay="1"/></ISSUETIME>
  </CHATADV>
  <CHATADV advtype="1" chatstyle="3">
    <ITEMINFO type="0" color="C00000" url="http://example.com/news">欢迎来到麻将乐园</ITEMINFO>
  </CHATADV>
  <CHATADV advtype="1">
    <ITEMINFO type="0" color="008000">每周五晚八点比赛开始</ITEMINFO>
  </CHATADV>
</ADVLIST>
"""


def main():
    out = sys.argv[1]
    skin = os.path.join(out, "Skin")
    write(os.path.join(skin, "style.ini"),
          (f"[showstyle]\r\ncurstyle={BLUE_STYLE}\r\n[stylelist]\r\n"
           f"{DEFAULT_STYLE}={DEFAULT_STYLE}\r\n{BLUE_STYLE}={BLUE_DIR}\r\n").encode("gbk"))
    dialog_names = ("dlg_back.bmp", "dlg_button.bmp", "dlg_button_hover.bmp", "dlg_close.bmp",
                    "dlg_close_hover.bmp")
    styles = [(DEFAULT_STYLE, "106,141,161", "0,0,0", "0,0,160", (235, 240, 230)),
              (BLUE_DIR, "70,120,190", "20,20,60", "0,70,170", (220, 234, 250))]
    for folder, back, text, head, paper in styles:
        d = os.path.join(skin, folder)
        write(os.path.join(d, "config.ini"), config_ini(back, text, head, dialog_names))
        write(os.path.join(d, dialog_names[0]), bmp(320, 260, lambda x, y, p=paper:
              (70, 110, 170) if y < 28 else blend(p, (255, 255, 255), y / 260)))
        write(os.path.join(d, dialog_names[1]), bmp(59, 21, lambda x, y: blend((250, 252, 255), (190, 210, 236), y / 20)))
        write(os.path.join(d, dialog_names[2]), bmp(59, 21, lambda x, y: blend((255, 246, 220), (246, 206, 120), y / 20)))
        write(os.path.join(d, dialog_names[3]), bmp(20, 24, lambda x, y: (255, 255, 255) if abs(abs(x - 9.5) - abs(y - 11.5)) < 1.2 and abs(x - 9.5) < 5 else (110, 140, 190)))
        write(os.path.join(d, dialog_names[4]), bmp(20, 24, lambda x, y: (255, 255, 255) if abs(abs(x - 9.5) - abs(y - 11.5)) < 1.2 and abs(x - 9.5) < 5 else (214, 70, 60)))
    chat = os.path.join(skin, "chat")
    write(os.path.join(chat, "channel_comm.png"), channel_tab((250, 250, 255), (190, 210, 240)))
    write(os.path.join(chat, "channel_private.png"), channel_tab((255, 245, 225), (240, 200, 150)))
    write(os.path.join(chat, "chathead.bmp"), bmp(200, 24, lambda x, y: blend((90, 130, 190), (50, 90, 150), y / 24)))
    write(os.path.join(chat, "font.png"), icon_button((90, 130, 200), glyph_font))
    write(os.path.join(chat, "face.png"), icon_button((230, 160, 40), glyph_face))
    write(os.path.join(chat, "word.png"), icon_button((110, 160, 110), glyph_word))
    write(os.path.join(chat, "clear.png"), icon_button((200, 90, 80), glyph_clear))
    write(os.path.join(chat, "set.png"), icon_button((120, 120, 140), glyph_set))
    write(os.path.join(chat, "private.png"), icon_button((170, 110, 190), glyph_word))
    write(os.path.join(chat, "send.png"), send_button())
    write(os.path.join(chat, "back.bmp"), bmp(64, 64, lambda x, y: blend((150, 175, 200), (120, 150, 185), ((x + y) % 64) / 64)))

    faces = [("/wx", "微笑"), ("/dx", "大笑"), ("/ku", "哭"), ("/ok", "好的"), ("/hx", "害羞"),
             ("/yw", "疑问")]
    lines = [f"[face]\r\ncount={len(faces)}\r\n"]
    for i, (key, tip) in enumerate(faces):
        name = f"face{i + 1:02d}.gif"
        write(os.path.join(out, "face", name), face_picture(i))
        lines.append(f"Item{i}id={i + 1}\r\nItem{i}filename={name}\r\nItem{i}Key={key}\r\n"
                     f"Item{i}Tip={tip}\r\n")
    flags = [(255, 60, 60), (60, 160, 255), (250, 200, 40)]
    for section in ("userflag", "sysflag"):
        lines.append(f"[{section}]\r\ncount={len(flags)}\r\n")
        for i, colour in enumerate(flags):
            name = f"{section}{i + 1}.png"
            write(os.path.join(out, "face", name), flag_picture(colour))
            lines.append(f"Item{i}flagid={i + 1}\r\nItem{i}filename={name}\r\n")
    write(os.path.join(out, "config", "faceconfig.ini"), "".join(lines).encode("gbk"))
    write(os.path.join(out, "OzkAdv", "sale.png"), advert_picture())
    write(os.path.join(out, "config", "advrss.xml"), ADVERTS.encode("gbk"))


if __name__ == "__main__":
    main()
