#!/usr/bin/env python3
"""Draws the toolbar images and icons of both programs as 16-colour PNGs.

Run from the repository root:  scripts/draw_images.py
Writes resources/<program>/images/toolbar128.png and
resources/<program>/icons/{128,128-16,129,129-16}.png.
"""
import os
import struct
import zlib

# The 16 classic colours; "." is transparent, so that the toolbar's own
# button colour shows through.
PALETTE = {
    ".": None,
    "k": (0, 0, 0), "r": (128, 0, 0), "G": (0, 128, 0), "o": (128, 128, 0),
    "b": (0, 0, 128), "p": (128, 0, 128), "c": (0, 128, 128), "l": (192, 192, 192),
    "g": (128, 128, 128), "R": (255, 0, 0), "L": (0, 255, 0), "y": (255, 255, 0),
    "B": (0, 0, 255), "m": (255, 0, 255), "C": (0, 255, 255), "w": (255, 255, 255),
}


def write_png(path, rows):
    """rows: equal-length strings of palette letters."""
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        assert len(row) == width, (path, row)
        raw.append(0)
        for letter in row:
            colour = PALETTE[letter]
            raw.extend((0, 0, 0, 0) if colour is None else (*colour, 255))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def fit(rows, width, height):
    rows = [r.replace(" ", ".").ljust(width, ".")[:width] for r in rows]
    rows += ["." * width] * (height - len(rows))
    return rows[:height]


def strip(images, width, height):
    images = [fit(i, width, height) for i in images]
    return ["".join(i[y] for i in images) for y in range(height)]


NEW = [
    "",
    "   kkkkkkk",
    "   kwwwwwkk",
    "   kwwwwwkwk",
    "   kwwwwwkkkk",
    "   kwwwwwwwwk",
    "   kwwwwwwwwk",
    "   kwwwwwwwwk",
    "   kwwwwwwwwk",
    "   kwwwwwwwwk",
    "   kwwwwwwwwk",
    "   kwwwwwwwwk",
    "   kwwwwwwwwk",
    "   kkkkkkkkkk",
]
OPEN = [
    "",
    "           kkk",
    "          k   k k",
    "               kk",
    " kkkk         kkk",
    "kyyyyk",
    "kyyyyykkkkkkk",
    "kyyyyyyyyyyyk",
    "kyyykkkkkkkkkkk",
    "kyykooooooooook",
    "kykooooooooook",
    "kkooooooooook",
    "kooooooooook",
    "kkkkkkkkkkk",
]
SAVE = [
    "",
    " kkkkkkkkkkkkk",
    " kbkwwwwwwwkbk",
    " kbkwwwwwwwkbk",
    " kbkwwwwwwwkbk",
    " kbkwwwwwwwkbk",
    " kbbkkkkkkkbbk",
    " kbbbbbbbbbbbk",
    " kbbkkkkkkkbbk",
    " kbbklkkwwkbbk",
    " kbbklkkwwkbbk",
    " kbbklkkwwkbbk",
    "  kkkkkkkkkkkk",
]
CUT = [
    "",
    "   k     k",
    "   k     k",
    "   kk   kk",
    "    k   k",
    "    kk kk",
    "     kkk",
    "      k",
    "     bkb",
    "   bbb bbb",
    "  b  b b  b",
    "  b  b b  b",
    "  b  b b  b",
    "   bb   bb",
]
COPY = [
    "",
    "kkkkkkk",
    "kwwwwwk",
    "kwkkkwk",
    "kwwwwwk",
    "kwkkkwkkkkkkk",
    "kwwwwwkwwwwwk",
    "kwkkkwkwkkkwk",
    "kwwwwwkwwwwwk",
    "kkkkkkkwkkkwk",
    "      kwwwwwk",
    "      kwkkkwk",
    "      kwwwwwk",
    "      kkkkkkk",
]
PASTE = [
    "",
    "    kkkkk",
    " kkkyyyyykkk",
    " koookkkkooook",
    " kooooooooook",
    " kooookkkkkkkk",
    " kooookwwwwwwk",
    " kooookwkkkkwk",
    " kooookwwwwwwk",
    " kooookwkkkkwk",
    " kooookwwwwwwk",
    " kooookwkkkkwk",
    " kkkkkkwwwwwwk",
    "       kkkkkkkk",
]
PRINT = [
    "",
    "   kkkkkkkk",
    "   kwwwwwwk",
    "   kwkkkkwk",
    "   kwwwwwwk",
    " kkkkkkkkkkkk",
    "kllllllllllllk",
    "kllllllllllGGk",
    "kllllllllllllk",
    "kggggggggggggk",
    "kkkkkkkkkkkkkk",
    "  kwwwwwwwwk",
    "  kkkkkkkkkk",
]
ABOUT = [
    "",
    "     kkkkk",
    "    kbbbbbk",
    "   kbbk kbbk",
    "   kbbk kbbk",
    "    kk  kbbk",
    "       kbbk",
    "      kbbk",
    "      kbbk",
    "       kk",
    "",
    "      kbbk",
    "      kbbk",
    "       kk",
]

# A 5 by 7 pixel alphabet for the Tarvel3 button faces.
GLYPHS = {
    "D": ["kkkk ", "k   k", "k   k", "k   k", "k   k", "k   k", "kkkk "],
    "E": ["kkkkk", "k    ", "k    ", "kkkk ", "k    ", "k    ", "kkkkk"],
    "S": [" kkkk", "k    ", "k    ", " kkk ", "    k", "    k", "kkkk "],
    "H": ["k   k", "k   k", "k   k", "kkkkk", "k   k", "k   k", "k   k"],
    "A": [" kkk ", "k   k", "k   k", "kkkkk", "k   k", "k   k", "k   k"],
    "-": ["    ", "    ", "    ", "kkkk", "    ", "    ", "    "],
    "1": ["  k  ", " kk  ", "  k  ", "  k  ", "  k  ", "  k  ", " kkk "],
    "M": ["k   k", "kk kk", "k k k", "k k k", "k   k", "k   k", "k   k"],
    "5": ["kkkkk", "k    ", "kkkk ", "    k", "    k", "k   k", " kkk "],
}


def label(text, width, height):
    glyphs = [GLYPHS[c] for c in text]
    text_width = sum(len(g[0]) for g in glyphs) + len(glyphs) - 1
    left = (width - text_width) // 2
    top = (height - 7) // 2
    rows = []
    for y in range(height):
        line = " " * left
        if top <= y < top + 7:
            line += " ".join(g[y - top] for g in glyphs)
        rows.append(line.replace(" ", "."))
    return fit(rows, width, height)


def padlock(size):
    """The program icon: a yellow padlock on a blue tile."""
    s = size
    grid = [["." for _ in range(s)] for _ in range(s)]

    def rect(x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(s, y1 + 1)):
            for x in range(max(0, x0), min(s, x1 + 1)):
                grid[y][x] = c

    u = s / 32.0
    q = lambda v: int(round(v * u))
    rect(q(1), q(1), q(30), q(30), "k")
    rect(q(2), q(2), q(29), q(29), "b")
    # Shackle.
    rect(q(9), q(4), q(22), q(6), "k")
    rect(q(9), q(4), q(11), q(15), "k")
    rect(q(20), q(4), q(22), q(15), "k")
    rect(q(10), q(5), q(21), q(5), "l")
    rect(q(10), q(5), q(10), q(15), "l")
    rect(q(21), q(5), q(21), q(15), "l")
    # Body with keyhole.
    rect(q(6), q(14), q(25), q(27), "k")
    rect(q(7), q(15), q(24), q(26), "y")
    rect(q(7), q(25), q(24), q(26), "o")
    rect(q(14), q(18), q(17), q(20), "k")
    rect(q(15), q(20), q(16), q(23), "k")
    return ["".join(r) for r in grid]


def document(size):
    """The document icon: a page with a folded corner and a small padlock."""
    s = size
    grid = [["." for _ in range(s)] for _ in range(s)]

    def rect(x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(s, y1 + 1)):
            for x in range(max(0, x0), min(s, x1 + 1)):
                grid[y][x] = c

    u = s / 32.0
    q = lambda v: int(round(v * u))
    rect(q(5), q(1), q(26), q(30), "k")
    rect(q(6), q(2), q(25), q(29), "w")
    # Folded corner.
    for i in range(q(7)):
        for j in range(i + 1):
            grid[q(2) + j][q(25) - q(6) + i] = "w" if j < i else "k"
        for j in range(i + 1, q(7)):
            grid[q(1) + j][q(25) - q(6) + i] = "."
    # Text lines.
    for y in (q(8), q(11), q(14)):
        if y < s:
            rect(q(9), y, q(21), y, "g")
    # Small padlock.
    rect(q(12), q(17), q(19), q(19), "k")
    rect(q(13), q(18), q(18), q(18), "w")
    rect(q(12), q(17), q(13), q(21), "k")
    rect(q(18), q(17), q(19), q(21), "k")
    rect(q(10), q(21), q(21), q(27), "k")
    rect(q(11), q(22), q(20), q(26), "y")
    return ["".join(r) for r in grid]


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    standard = strip([NEW, OPEN, SAVE, CUT, COPY, PASTE, PRINT, ABOUT], 16, 15)
    write_png(os.path.join(root, "tarvel2", "images", "toolbar128.png"), standard)
    tests = ["".join(parts) for parts in zip(*(label(t, 37, 15) for t in ("DES", "SHA-1", "MD5")))]
    write_png(os.path.join(root, "tarvel3", "images", "toolbar128.png"), tests)
    for program in ("tarvel2", "tarvel3"):
        icons = os.path.join(root, program, "icons")
        write_png(os.path.join(icons, "128.png"), padlock(32))
        write_png(os.path.join(icons, "128-16.png"), padlock(16))
        write_png(os.path.join(icons, "129.png"), document(32))
        write_png(os.path.join(icons, "129-16.png"), document(16))


if __name__ == "__main__":
    main()
