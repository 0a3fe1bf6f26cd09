#!/usr/bin/env python3
"""Draws the toolbar images and icons of both programs as 16-colour PNGs.

Run from the repository root:  scripts/draw_images.py
Writes resources/<program>/images/toolbar128.png and
resources/<program>/icons/{128,128-16,129,129-16}.png.

  scripts/draw_images.py --hicolor DIR PROGRAM=NAME...
writes each program's icon for the desktop's icon theme instead:
DIR/<size>x<size>/apps/NAME.png for every size the theme asks of an
application and DIR/scalable/apps/NAME.svg. PROGRAM is tarvel2 (a key on a
blue tile) or tarvel3 (a padlock on a red tile): shape and colour both
differ, so the two are told apart in a menu at 16 pixels too.
"""
import os
import struct
import sys
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


class IconCanvas:
    """A square grid of colour letters drawn on a 32-unit scale."""

    def __init__(self, size):
        self.size = size
        self.grid = [["." for _ in range(size)] for _ in range(size)]
        # The boxes in 32-unit corners, for the scalable drawing.
        self.boxes = []

    def q(self, v):
        return int(round(v * self.size / 32.0))

    def rect(self, x0, y0, x1, y1, c):
        """Fills the box of 32-unit corners (inclusive)."""
        s, q = self.size, self.q
        self.boxes.append((x0, y0, x1, y1, c))
        for y in range(max(0, q(y0)), min(s, q(y1) + 1)):
            for x in range(max(0, q(x0)), min(s, q(x1) + 1)):
                self.grid[y][x] = c

    def rows(self):
        return ["".join(r) for r in self.grid]


def draw(boxes, size):
    c = IconCanvas(size)
    boxes(c)
    return c.rows()


def key_boxes(c):
    """Tarvel2, the RSA key program: a yellow key on a blue tile."""
    c.rect(1, 1, 30, 30, "k")
    c.rect(2, 2, 29, 29, "b")
    # Bow, with its hole showing the tile.
    c.rect(3, 9, 13, 22, "k")
    c.rect(4, 10, 12, 21, "y")
    c.rect(6, 14, 9, 17, "k")
    c.rect(7, 15, 8, 16, "b")
    # Shaft and bit.
    c.rect(13, 13, 28, 18, "k")
    c.rect(13, 14, 27, 17, "y")
    c.rect(19, 18, 22, 24, "k")
    c.rect(20, 18, 21, 23, "y")
    c.rect(24, 18, 27, 22, "k")
    c.rect(25, 18, 26, 21, "y")


def padlock_boxes(c):
    """Tarvel3, the DES and hash program: a yellow padlock on a red tile."""
    c.rect(1, 1, 30, 30, "k")
    c.rect(2, 2, 29, 29, "r")
    # Shackle.
    c.rect(9, 4, 22, 6, "k")
    c.rect(9, 4, 11, 15, "k")
    c.rect(20, 4, 22, 15, "k")
    c.rect(10, 5, 21, 5, "l")
    c.rect(10, 5, 10, 15, "l")
    c.rect(21, 5, 21, 15, "l")
    # Body with keyhole.
    c.rect(6, 14, 25, 27, "k")
    c.rect(7, 15, 24, 26, "y")
    c.rect(7, 25, 24, 26, "o")
    c.rect(14, 18, 17, 20, "k")
    c.rect(15, 20, 16, 23, "k")


PROGRAM_ICONS = {"tarvel2": key_boxes, "tarvel3": padlock_boxes}


def document(size):
    """The document icon: a page with a folded corner and a small padlock."""
    c = IconCanvas(size)
    s, q, grid = c.size, c.q, c.grid
    c.rect(5, 1, 26, 30, "k")
    c.rect(6, 2, 25, 29, "w")
    # Folded corner.
    for i in range(q(7)):
        for j in range(i + 1):
            grid[q(2) + j][q(25) - q(6) + i] = "w" if j < i else "k"
        for j in range(i + 1, q(7)):
            grid[q(1) + j][q(25) - q(6) + i] = "."
    # Text lines.
    for y in (8, 11, 14):
        if q(y) < s:
            c.rect(9, y, 21, y, "g")
    # Small padlock.
    c.rect(12, 17, 19, 19, "k")
    c.rect(13, 18, 18, 18, "w")
    c.rect(12, 17, 13, 21, "k")
    c.rect(18, 17, 19, 21, "k")
    c.rect(10, 21, 21, 27, "k")
    c.rect(11, 22, 20, 26, "y")
    return c.rows()


def magnified(rows, factor):
    """Each pixel as a factor by factor block, so large icons keep the
    hand-placed pixels of the small ones."""
    return ["".join(letter * factor for letter in row) for row in rows for _ in range(factor)]


# Theme size: (drawing size, magnification). The drawings are made for 16 and
# 32 pixels; the other sizes are whole multiples of one of them.
THEME_SIZES = {16: (16, 1), 32: (32, 1), 48: (16, 3), 64: (32, 2), 128: (32, 4), 256: (32, 8)}


def write_svg(path, drawing):
    """The 32-unit boxes of a drawing made only of boxes, as an SVG."""
    canvas = IconCanvas(32)
    drawing(canvas)
    shapes = []
    for x0, y0, x1, y1, c in canvas.boxes:
        r, g, b = PALETTE[c]
        shapes.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0 + 1}" height="{y1 - y0 + 1}" '
                      f'fill="#{r:02x}{g:02x}{b:02x}"/>')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32" '
                'shape-rendering="crispEdges">\n' + "\n".join(shapes) + "\n</svg>\n")


def write_hicolor(root, pairs):
    """pairs: "tarvel2=io.example.Name" -- the drawing and the icon's name."""
    for pair in pairs:
        program, _, name = pair.partition("=")
        boxes = PROGRAM_ICONS[program]
        for size, (drawn, factor) in THEME_SIZES.items():
            folder = os.path.join(root, f"{size}x{size}")
            write_png(os.path.join(folder, "apps", name + ".png"), magnified(draw(boxes, drawn), factor))
        write_svg(os.path.join(root, "scalable", "apps", name + ".svg"), boxes)


def main():
    if len(sys.argv) > 2 and sys.argv[1] == "--hicolor":
        write_hicolor(sys.argv[2], sys.argv[3:])
        return
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    standard = strip([NEW, OPEN, SAVE, CUT, COPY, PASTE, PRINT, ABOUT], 16, 15)
    write_png(os.path.join(root, "tarvel2", "images", "toolbar128.png"), standard)
    tests = ["".join(parts) for parts in zip(*(label(t, 37, 15) for t in ("DES", "SHA-1", "MD5")))]
    write_png(os.path.join(root, "tarvel3", "images", "toolbar128.png"), tests)
    for program in ("tarvel2", "tarvel3"):
        icons = os.path.join(root, program, "icons")
        write_png(os.path.join(icons, "128.png"), draw(PROGRAM_ICONS[program], 32))
        write_png(os.path.join(icons, "128-16.png"), draw(PROGRAM_ICONS[program], 16))
        write_png(os.path.join(icons, "129.png"), document(32))
        write_png(os.path.join(icons, "129-16.png"), document(16))


if __name__ == "__main__":
    main()
