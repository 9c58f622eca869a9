#!/usr/bin/env python3
"""Draws the program's pictures and writes them as BMP and ICO files beside
this script: the application icon (16, 24, 32 and 48 pixels), the node icon
strip, the four toolbar glyphs, the About logo and the OK button's glyph,
each also in its forms for 150% and 200% (vector_pictures.py), and the
tutorial page's pictures (PNG) of the node icons and the toolbar glyphs. Run it again after changing a picture and commit
the files it writes."""
import os
import struct
import zlib

import vector_pictures

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16-colour VGA palette.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(16)


def rows_from_art(art, legend):
    return [[legend[c] for c in line] for line in art]


def bmp_bytes(pixels, palette, bits):
    """A bottom-up BMP of palette indices (bits 4 or 8) or RGB triples (bits 24)."""
    h, w = len(pixels), len(pixels[0])
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        if bits == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        elif bits == 8:
            line += bytes(row)
        else:
            for x in range(0, w, 2):
                hi = row[x]
                lo = row[x + 1] if x + 1 < w else 0
                line.append(hi << 4 | lo)
        while len(line) % 4:
            line.append(0)
        body += line
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(body), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(pal)
    return struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset) + info + pal + bytes(body)


def png_bytes(pixels):
    """A PNG of RGBA quadruples."""
    h, w = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def with_alpha(rgb_rows, transparent):
    """RGB rows as RGBA, the `transparent` colour fully transparent."""
    return [[(*c, 0) if c == transparent else (*c, 255) for c in row] for row in rgb_rows]


def ico_bytes(images, transparent):
    """An ICO of 4-bit palette index images, each a size; `transparent` cells are masked."""
    entries, bodies = b"", b""
    offset = 6 + 16 * len(images)
    for pixels in images:
        image = ico_image(pixels, transparent)
        h, w = len(pixels), len(pixels[0])
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 16, 0, 1, 4, len(image), offset)
        bodies += image
        offset += len(image)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + bodies


def vga_indices(rgb_rows):
    """RGB rows of VGA colours as palette indices."""
    return [[VGA.index(c) for c in row] for row in rgb_rows]


def ico_image(pixels, transparent):
    """One image of an ICO: its header, palette, colours and mask."""
    h, w = len(pixels), len(pixels[0])
    xor = bmp_bytes([[0 if c == transparent else c for c in row] for row in pixels], VGA, 4)[14 + 40 + 64:]
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, w, 8):
            byte = 0
            for bit in range(8):
                if x + bit < w and row[x + bit] == transparent:
                    byte |= 0x80 >> bit
            line.append(byte)
        while len(line) % 4:
            line.append(0)
        mask += line
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return info + pal + xor + bytes(mask)


# --- node icons: 16 x 16, transparent where '.' ---------------------------------
FOLDER = [
    "................",
    "................",
    "................",
    ".DDDDD..........",
    "DWWWWWD.........",
    "DWffffWDDDDDDD..",
    "DWWWWWWWWWWWWWK.",
    "DWfffffffffffWK.",
    "DWfffffffffffWK.",
    "DWfffffffffffWK.",
    "DWfffffffffffWK.",
    "DWfffffffffffWK.",
    "DWfffffffffffWK.",
    "DWfffffffffffWK.",
    "KKKKKKKKKKKKKKK.",
    "................",
]
MAGENTA = (255, 0, 255)


def folder():
    out = []
    for y, line in enumerate(FOLDER):
        row = []
        for x, c in enumerate(line):
            row.append({".": MAGENTA, "D": (128, 128, 128), "W": (255, 255, 255), "K": (0, 0, 0),
                        "f": (255, 255, 0) if (x + y) % 2 else (192, 192, 192)}[c])
        out.append(row)
    return out


def node_icons():
    normal = folder()
    cross = folder()
    for i in range(16):
        # The stroke from the upper right to the lower left runs past the folder's
        # outline at both ends; the other stroke stays on the folder.
        for x, y in ((15 - i, i), (14 - i, i)):
            if x >= 0:
                cross[y][x] = (255, 0, 0)
        if 3 <= i <= 13:
            for x in (i, i + 1):
                cross[i + 1][x] = (255, 0, 0)
    question = folder()
    mark = ["..BBBB..",
            ".BB..BB.",
            ".....BB.",
            "....BB..",
            "...BB...",
            "...BB...",
            "........",
            "...BB...",
            "...BB..."]
    for y, line in enumerate(mark):
        for x, c in enumerate(line):
            if c == "B":
                question[y + 5][x + 4] = (0, 0, 255)
    return [normal[y] + cross[y] + question[y] for y in range(16)]


# --- toolbar glyphs: 16-colour bitmaps, bottom-left pixel = transparent colour --
GLYPH_LEGEND = {".": FUCHSIA, "L": LIME, "K": BLACK, "G": GREY, "S": SILVER, "W": WHITE, "T": TEAL, "A": AQUA,
                "Y": YELLOW, "N": NAVY, "O": OLIVE, "D": GREEN}

FIND = [
    "................",
    "..KKK......KKK..",
    "..KGK......KGK..",
    ".KKKKK....KKKKK.",
    ".KGSKK....KGSKK.",
    ".KGSKKKKKKKGSKK.",
    ".KGSKKGKKGKGSKK.",
    "KKKKKKGKKGKKKKKK",
    "KGSSKKKKKKKGSSKK",
    "KGSKKK.KK.KGSKKK",
    "KGSKKK....KGSKKK",
    "KGSKKK....KGSKKK",
    "KKKKKK....KKKKKK",
    ".KKKK......KKKK.",
    "................",
    "................",
]
REGEDIT = [
    "................",
    ".KKKKKKKK.......",
    ".KAAAAAAK.......",
    ".KATTTTTK.......",
    ".KKKKKKKKKKKKKK.",
    ".KAAAAAAKAAAAAK.",
    ".KATTTTTKATTTTK.",
    ".KKKKKKKKKKKKKK.",
    "..KAAAAAAKAAAAK.",
    "..KATTTTTKATTTK.",
    "..KKKKKKKKKKKKK.",
    ".KAAAAAAAKAAAAK.",
    ".KATTTTTTKATTTK.",
    ".KATTTTTTKATTTK.",
    ".KKKKKKKKKKKKKK.",
    "................",
]
DELETE = [
    "...................",
    "...................",
    "..KK..........KK...",
    "..KKKT.......KKKT..",
    "...KKKT.....KKKT...",
    "....KKKT...KKKT....",
    ".....KKKT.KKKT.....",
    "......KKKKKKT......",
    ".......KKKKT.......",
    "......KKKKKT.......",
    ".....KKKT.KKKT.....",
    "....KKKT...KKKT....",
    "...KKKT.....KKKT...",
    "..KKKT.......KKKT..",
    "..KKT.........KKT..",
    "...................",
    "...................",
    "...................",
]
HELP = [
    "..............",
    "...YWYWYWYW...",
    "..YWWWWWWWWY..",
    ".WWWWNNNNWWWWG",
    ".YWWNNWWNNWWYG",
    ".WWWWWWWNNWWWG",
    ".YWWWWWNNWWWYG",
    ".WWWWWNNWWWWWG",
    ".YWWWWNNWWWWYG",
    ".WWWWWWWWWWWWG",
    ".YWWWWNNWWWWYG",
    "..WWWWNNWWWWGG",
    "...YWYWYWWYWG.",
    "....GGGGWWYG..",
    "..........WG..",
    "...........G..",
]
OK = [
    "................",
    "................",
    "................",
    "...........D....",
    "..........DLD...",
    ".........DLLD...",
    "..D.....DLLD....",
    ".DLD...DLLD.....",
    ".DLLD.DLLD......",
    "..DLLDLLD.......",
    "...DLLLD........",
    "....DLD.........",
    ".....D..........",
    "................",
    "................",
    "................",
]


def glyph(art):
    return rows_from_art(art, GLYPH_LEGEND)


# --- About logo: 292 x 83, 256 colours --------------------------------------------
FONT = {  # 5 x 7 letters
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "o": ["00000", "00000", "01110", "10001", "10001", "10001", "01110"],
    "b": ["10000", "10000", "11110", "10001", "10001", "10001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    "s": ["00000", "00000", "01111", "10000", "01110", "00001", "11110"],
    "a": ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
    "v": ["00000", "00000", "10001", "10001", "10001", "01010", "00100"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "n": ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    " ": ["00000"] * 7,
}


def logo(size=1):
    """A rounded banner with the name, at `size` times 292 x 83; the corners
    outside it have the colour of the bottom-left pixel, which the About box
    draws transparent. The box writes the version under the rule at run time."""
    w, h = round(292 * size), round(83 * size)
    palette = [(0, 0, 0)] * 256
    palette[0] = MAGENTA
    for i in range(128):  # a blue ramp for the banner
        palette[1 + i] = (i // 4, i // 2 + 32, 96 + i)
    palette[200] = (255, 255, 255)
    palette[201] = (20, 20, 60)
    palette[202] = (255, 255, 0)
    radius = round(12 * size)
    pixels = [[0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            cx, cy = min(max(x, radius), w - 1 - radius), min(max(y, radius), h - 1 - radius)
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                pixels[y][x] = 1 + min(127, (x * 96) // w + (y * 32) // h)
    # The letters' cells are squares of `cell` pixels, their edges on whole pixels.
    text, cell = "Qob Tessavin", 3 * size
    x0 = (w - len(text) * 6 * cell) / 2
    y0 = 12 * size
    shadow = round(2 * size)
    for n, ch in enumerate(text):
        for y, bits in enumerate(FONT[ch]):
            for x, bit in enumerate(bits):
                if bit == "1":
                    left, top = x0 + (n * 6 + x) * cell, y0 + y * cell
                    for py in range(round(top), round(top + cell)):
                        for px in range(round(left), round(left + cell)):
                            pixels[py + shadow][px + shadow] = 201
                            pixels[py][px] = 200
    rule = round(y0 + 7 * cell + 8 * size)
    for py in range(rule, rule + round(size)):  # a yellow rule under the name
        for x in range(round(24 * size), w - round(24 * size)):
            pixels[py][x] = 202
    return pixels, palette


def main():
    def write(name, data):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)

    # The icon at 16 pixels is the doubtful node's; the larger ones are drawn at their size.
    small = vga_indices([row[32:48] for row in node_icons()][:16])
    write("QobTessavin.ico", ico_bytes([small] + [vga_indices(vector_pictures.app_icon(side))
                                                  for side in (24, 32, 48)], FUCHSIA))
    write("nodes.bmp", bmp_bytes(node_icons(), [], 24))
    write("find.bmp", bmp_bytes(glyph(FIND), VGA, 4))
    write("regedit.bmp", bmp_bytes(glyph(REGEDIT), VGA, 4))
    write("delete.bmp", bmp_bytes(glyph(DELETE), VGA, 4))
    write("help.bmp", bmp_bytes(glyph(HELP), VGA, 4))
    pixels, palette = logo()
    write("logo.bmp", bmp_bytes(pixels, palette, 8))
    write("ok.bmp", bmp_bytes(glyph(OK), VGA, 4))
    # The forms for 150% and 200%, drawn at their size.
    for scale, suffix in vector_pictures.SCALES:
        write(f"nodes-{suffix}.bmp", bmp_bytes(vector_pictures.node_strip(round(16 * scale)), [], 24))
        for name in ("find", "regedit", "delete", "help", "ok"):
            write(f"{name}-{suffix}.bmp", bmp_bytes(vector_pictures.glyph(name, scale), [], 24))
        pixels, palette = logo(scale)
        write(f"logo-{suffix}.bmp", bmp_bytes(pixels, palette, 8))
    # The tutorial page's pictures.
    strip = node_icons()
    for n, name in enumerate(("normal", "faulty-group", "faulty-entry")):
        write(f"tutor-{name}.png", png_bytes(with_alpha([row[16 * n:16 * n + 16] for row in strip], MAGENTA)))
    for name, art in (("find", FIND), ("regedit", REGEDIT), ("delete", DELETE), ("help", HELP)):
        rows = [[VGA[c] for c in row] for row in glyph(art)]
        write(f"tutor-{name}.png", png_bytes(with_alpha(rows, rows[-1][0])))


if __name__ == "__main__":
    main()
