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
import vector_pictures

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
# Its size at 100%; the forms for 150% and 200% are drawn at their own size.
WIDTH, HEIGHT, FRAMES = 40, 40, 12
BACKGROUND = FUCHSIA  # the first pixel: the control draws it transparent


def frame(n, size=1):
    width, height = round(WIDTH * size), round(HEIGHT * size)
    k = lambda units: round(units * size)
    px = [[BACKGROUND] * width for _ in range(height)]
    # The page: white with a black edge, a folded corner, grey lines of text.
    left, top, right, bottom = k(6), k(3), k(27), k(34)
    edge = max(1, round(size))
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            on_edge = min(x - left, right - x, y - top, bottom - y) < edge
            px[y][x] = BLACK if on_edge else WHITE
    for line in range(5, 32, 3):
        y0 = top + k(line)
        if y0 + edge > bottom - k(2):
            break
        for y in range(y0, y0 + edge):
            for x in range(left + k(3), right - k(2) - k(((3 + line) * 7) % 5)):
                px[y][x] = GREY
    # The magnifier: a ring with a light glass and a handle to the lower right.
    angle = 2 * math.pi * n / FRAMES
    cx = (17 + 6 * math.cos(angle)) * size
    cy = (17 + 6 * math.sin(angle)) * size
    for y in range(height):
        for x in range(width):
            d = math.hypot(x - cx, y - cy)
            if d <= 5.0 * size:
                px[y][x] = AQUA if px[y][x] in (WHITE, BACKGROUND) else TEAL
            elif d <= 7.0 * size:
                px[y][x] = NAVY
    # The handle: a black stroke with a silver edge, as wide as the scale makes it.
    for i in range(k(8)):
        for w in range(2 * edge):
            x, y = int(cx + k(5) + i + w), int(cy + k(5) + i)
            if 0 <= x < width and 0 <= y < height:
                px[y][x] = BLACK if w < edge else SILVER
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


def avi(size=1):
    frames = [rle8(frame(n, size)) for n in range(FRAMES)]
    width, height = round(WIDTH * size), round(HEIGHT * size)
    biggest = max(len(f) for f in frames)
    us_per_frame = 100000
    palette = VGA + [(0, 0, 0)] * (256 - len(VGA))
    avih = struct.pack("<IIIIIIIIII4I", us_per_frame, biggest * 10, 0, 0x10, FRAMES, 0, 1, biggest,
                       width, height, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"RLE ", 0, 0, 0, 0, 1, 1000000 // us_per_frame, 0,
                       FRAMES, biggest, 0xFFFFFFFF, 0, 0, 0, width, height)
    strf = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, biggest, 0, 0, 256, 0)
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
    for scale, suffix in vector_pictures.SCALES:
        write(f"find-{suffix}.avi", avi(scale))
        write(f"cancel-{suffix}.bmp", bmp_bytes(vector_pictures.glyph("cancel", scale), [], 24))


if __name__ == "__main__":
    main()
