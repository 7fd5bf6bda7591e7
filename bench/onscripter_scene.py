#!/usr/bin/env python3
"""Makes an ONScripter game of the demo's opening scene, for the window benchmark's peer.

usage: onscripter_scene.py ORVA_PACK DEMO_DIR SCRIPT_TXT OUT_DIR FONT

The scene is the one the demo's story opens with: its first background faded in, its music,
the first ten messages of the story (and one more to wait on) with the same sound effect,
voices and character pictures, 800x600, the same font at the same size, and a click-wait icon
that turns like the demo's. Pictures and sounds are unpacked from the demo's own archives.
"""
import os
import re
import struct
import subprocess
import sys


def unpack(orva_pack, demo, out):
    data = os.path.join(demo, "data")
    for name in sorted(os.listdir(data)):
        if name.lower().endswith(".cfp"):
            subprocess.run([orva_pack, "archive", "extract", os.path.join(data, name), out], check=True,
                           stdout=subprocess.DEVNULL)


def story_lines(script_txt, count):
    """The opening scene's commands from the demo's assembler text, up to `count` messages."""
    out, messages = [], 0
    for line in open(script_txt, encoding="utf-8"):
        line = line.split(";", 1)[0].strip()
        m = re.match(r'(\w+)\s+(.*)$', line)
        if not m:
            continue
        verb, args = m.group(1), re.findall(r'"([^"]*)"', m.group(2))
        if verb == "msg":
            out.append(("msg", args[0].replace("/", ""), args[1] if len(args) > 1 else None))
            messages += 1
            if messages == count:
                break
        elif verb in ("bgm", "bg", "se2") or verb.startswith("char"):
            out.append((verb, args[0], None))
    return out


def write_cursor(path, phase_colours):
    """A 3-cell 32x32 click-wait animation; the top-left pixel's colour is transparent."""
    w, h = 32 * len(phase_colours), 32
    row_bytes = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):  # BMP rows bottom-up
        row = bytearray()
        for x in range(w):
            cell, cx = divmod(x, 32)
            inside = 8 <= cx < 24 and 8 <= y < 24
            b, g, r = phase_colours[cell] if inside else (255, 0, 255)
            row += bytes((b, g, r))
        pixels += row + bytes(row_bytes - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def main():
    orva_pack, demo, script_txt, out, font = sys.argv[1:6]
    os.makedirs(out, exist_ok=True)
    unpack(orva_pack, demo, out)
    if not os.path.exists(os.path.join(out, "default.ttf")):
        os.symlink(font, os.path.join(out, "default.ttf"))
    colours = [(230, 230, 255), (170, 170, 220), (110, 110, 180)]
    write_cursor(os.path.join(out, "cursor0.bmp"), colours)
    write_cursor(os.path.join(out, "cursor1.bmp"), colours)
    lines = [";mode800", "*define", 'caption "orva window peer"', "game", "*start",
             # text at the message window's place, 28-pixel glyphs, 20 ms a character
             "setwindow 40,440,25,4,28,28,0,8,20,0,1,#303048,0,416,799,599"]
    for verb, arg, voice in story_lines(script_txt, 11):
        if verb == "bgm":
            lines.append(f'bgm "{arg}.ogg"')
        elif verb == "bg":
            lines.append(f'bg "{arg}.png",10,500')
        elif verb == "se2":
            lines.append(f'dwave 1,"{arg}.ogg"')
        elif verb.startswith("char"):
            lines.append(f'ld c,":a;{arg}.png",10,500')
        else:
            if voice:
                lines.append(f'dwave 0,"{voice}.ogg"')
            lines.append(arg + "\\")
    lines.append("end")
    with open(os.path.join(out, "0.txt"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


if __name__ == "__main__":
    main()
