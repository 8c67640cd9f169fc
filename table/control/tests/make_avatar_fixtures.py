#!/usr/bin/env python3
"""Pictures and movies for the avatar and action tests of the table control.

Usage: make_avatar_fixtures.py <out-dir>

  steps.gif     three frames (red, green, blue) shown 10, 0 and 25 hundredths of a second
  long.gif      two frames, the first shown for the longest delay a GIF can hold
  still.png     one frame
  truncated.gif a GIF header with no frame
  ball.kvmv     a movie of a green ball
"""
import os
import subprocess
import sys


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)

    def frame(colour):
        return ["(", "-size", "90x160", f"xc:{colour}", ")"]

    subprocess.run(["convert", "-delay", "10"] + frame("#ff0000") + ["-delay", "0"] +
                   frame("#00ff00") + ["-delay", "25"] + frame("#0000ff") +
                   ["-loop", "0", os.path.join(out, "steps.gif")], check=True)
    subprocess.run(["convert", "-delay", "65535"] + frame("#ffff00") + ["-delay", "0"] +
                   frame("#00ffff") + ["-loop", "0", os.path.join(out, "long.gif")], check=True)
    subprocess.run(["convert", "-size", "180x320", "gradient:#ff8000-#8000ff",
                    os.path.join(out, "still.png")], check=True)
    with open(os.path.join(out, "truncated.gif"), "wb") as f:
        f.write(b"GIF89a\x5a\x00\xa0\x00\x80\x00\x00")
    with open(os.path.join(out, "ball.kvmv"), "w") as f:
        f.write("KVMV 1\nshape=circle\ncolor=0,200,0\nframes=40\n")


if __name__ == "__main__":
    main()
