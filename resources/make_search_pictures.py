#!/usr/bin/env python3
"""Draws the search progress window's pictures and writes them beside this
script: the looping search animation (find.avi, an RLE-8 AVI that the
animation control plays) and the red cross of its Cancel button
(cancel.bmp). Run it again after changing a picture and commit the files it
writes."""
import math
import os
import struct

from make_pictures import VGA, bmp_bytes, BLACK, MAROON, RED, FUCHSIA, WHITE, GREY, SILVER, NAVY, AQUA, TEAL

HERE = os.path.dirname(os.path.abspath(__file__))

# --- the Cancel glyph: 16 x 16, transparent where '.' (the bottom-left pixel) ---
CANCEL = [
    "................",
    "................",
    "...RR......RR...",
    "..RRRM....RRRM..",
    "...RRRM..RRRM...",
    "....RRRMRRRM....",
    ".....RRRRRM.....",
    "......RRRM......",
    ".....RRRRRM.....",
    "....RRRMRRRM....",
    "...RRRM..RRRM...",
    "..RRRM....RRRM..",
    "...MM......MM...",
    "................",
    "................",
    "................",
]


def cancel_glyph():
    legend = {".": FUCHSIA, "R": RED, "M": MAROON}
    return [[legend[c] for c in row] for row in CANCEL]


# --- the animation: a magnifier circling over a written page -------------------
WIDTH, HEIGHT, FRAMES = 40, 40, 12
BACKGROUND = FUCHSIA  # the first pixel: the control draws it transparent


def frame(n):
    px = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]
    # The page: white with a black edge, a folded corner, grey lines of text.
    left, top, right, bottom = 6, 3, 27, 34
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            px[y][x] = BLACK if edge else WHITE
    for y in range(top + 5, bottom - 2, 3):
        for x in range(left + 3, right - 2 - (y * 7) % 5):
            px[y][x] = GREY
    # The magnifier: a ring with a light glass and a handle to the lower right.
    angle = 2 * math.pi * n / FRAMES
    cx = 17 + 6 * math.cos(angle)
    cy = 17 + 6 * math.sin(angle)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            d = math.hypot(x - cx, y - cy)
            if d <= 5.0:
                px[y][x] = AQUA if px[y][x] in (WHITE, BACKGROUND) else TEAL
            elif d <= 7.0:
                px[y][x] = NAVY
    for i in range(8):
        for w in (0, 1):
            x, y = int(cx + 5 + i + w), int(cy + 5 + i)
            if 0 <= x < WIDTH and 0 <= y < HEIGHT:
                px[y][x] = BLACK if w == 0 else SILVER
    return px


def rle8(pixels):
    """Encoded runs only, bottom-up, an end of line after each row and the
    end of the bitmap after the last."""
    out = bytearray()
    rows = list(reversed(pixels))
    for i, row in enumerate(rows):
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255:
                run += 1
            out += bytes((run, row[x]))
            x += run
        out += b"\x00\x01" if i == len(rows) - 1 else b"\x00\x00"
    return bytes(out)


def chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + (b"\x00" if len(data) % 2 else b"")


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", len(body) + 4) + fourcc + body


def avi():
    frames = [rle8(frame(n)) for n in range(FRAMES)]
    biggest = max(len(f) for f in frames)
    us_per_frame = 100000
    palette = VGA + [(0, 0, 0)] * (256 - len(VGA))
    avih = struct.pack("<IIIIIIIIII4I", us_per_frame, biggest * 10, 0, 0x10, FRAMES, 0, 1, biggest,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"RLE ", 0, 0, 0, 0, 1, 1000000 // us_per_frame, 0,
                       FRAMES, biggest, 0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    strf = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 1, biggest, 0, 0, 256, 0)
    strf += b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body = b""
    index = b""
    for f in frames:
        index += struct.pack("<4sIII", b"00dc", 0x10, 4 + len(movi_body), len(f))
        movi_body += chunk(b"00dc", f)
    body = hdrl + riff_list(b"LIST", b"movi", movi_body) + chunk(b"idx1", index)
    return riff_list(b"RIFF", b"AVI ", body)


def main():
    def write(name, data):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        print(name, len(data), "bytes")

    write("find.avi", avi())
    write("cancel.bmp", bmp_bytes(cancel_glyph(), VGA, 4))


if __name__ == "__main__":
    main()
