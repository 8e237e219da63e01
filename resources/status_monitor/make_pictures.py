#!/usr/bin/env python3
"""Draws the status monitor's pictures and writes them as GIF files.

Usage: make_pictures.py OUTPUT_FOLDER

Every picture is drawn here from flat shapes and a small bitmap font and written by the
GIF89a encoder below, so each run on any machine gives the same bytes. Standard library only.
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------------------------
# Drawing

SEE_THROUGH = None  # colour of pixels that let the window's face colour show


class Palette:
    """One global colour table; index 0 is the see-through colour."""

    def __init__(self):
        # What a viewer without transparency shows for see-through pixels: a light face colour.
        self.colours = [(240, 240, 240)]
        self._index = {}

    def index(self, colour):
        if colour is SEE_THROUGH:
            return 0
        if colour not in self._index:
            if len(self.colours) == 256:
                raise ValueError("a picture may use at most 255 colours")
            self._index[colour] = len(self.colours)
            self.colours.append(colour)
        return self._index[colour]


class Canvas:
    """A frame of palette indices; shapes are filled where pixel centres fall inside them."""

    def __init__(self, width, height, palette):
        self.width, self.height, self.palette = width, height, palette
        self.pixels = bytearray(width * height)

    def copy(self):
        other = Canvas(self.width, self.height, self.palette)
        other.pixels[:] = self.pixels
        return other

    def span(self, y, x0, x1, colour):
        """Fills row y from x0 (inclusive) to x1 (exclusive), clipped."""
        if not 0 <= y < self.height:
            return
        x0, x1 = max(0, x0), min(self.width, x1)
        if x0 < x1:
            start = y * self.width
            self.pixels[start + x0:start + x1] = bytes([self.palette.index(colour)]) * (x1 - x0)

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            self.span(y, x0, x1, colour)

    def outline(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0 + 1, colour)
        self.rect(x0, y1 - 1, x1, y1, colour)
        self.rect(x0, y0, x0 + 1, y1, colour)
        self.rect(x1 - 1, y0, x1, y1, colour)

    def round_rect(self, x0, y0, x1, y1, radius, colour):
        for y in range(y0, y1):
            centre = y + 0.5
            dy = max(y0 + radius - centre, centre - (y1 - radius), 0.0)
            inset = radius - math.sqrt(max(radius * radius - dy * dy, 0.0)) if dy else 0.0
            self.span(y, x0 + int(round(inset)), x1 - int(round(inset)), colour)

    def framed_round_rect(self, x0, y0, x1, y1, radius, edge, fill):
        self.round_rect(x0, y0, x1, y1, radius, edge)
        self.round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(radius - 1, 0), fill)

    def circle(self, cx, cy, r, colour):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            dy = y + 0.5 - cy
            if dy * dy > r * r:
                continue
            half = math.sqrt(r * r - dy * dy)
            self.span(y, int(math.ceil(cx - half - 0.5)), int(math.floor(cx + half - 0.5)) + 1, colour)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        for y in range(int(math.floor(min(ys))), int(math.ceil(max(ys))) + 1):
            centre = y + 0.5
            crossings = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= centre < yb) or (yb <= centre < ya):
                    crossings.append(xa + (centre - ya) * (xb - xa) / (yb - ya))
            crossings.sort()
            for left, right in zip(crossings[::2], crossings[1::2]):
                self.span(y, int(math.ceil(left - 0.5)), int(math.ceil(right - 0.5)), colour)

    def line(self, x0, y0, x1, y1, width, colour):
        """A thick segment with round ends."""
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)
        self.circle(x0, y0, width / 2, colour)
        self.circle(x1, y1, width / 2, colour)

    def text(self, x, y, text, colour, scale=1, gap=1, bold=0):
        """Bitmap-font text; bold widens every stroke to the right by that many pixels."""
        for ch in text:
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale + bold, y + (row + 1) * scale, colour)
            x += GLYPH_WIDTH * scale + gap


def text_width(text, scale, gap, bold=0):
    return len(text) * GLYPH_WIDTH * scale + (len(text) - 1) * gap + bold


GLYPH_WIDTH, GLYPH_HEIGHT = 5, 7
FONT = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
}

# ---------------------------------------------------------------------------------------------
# Colours

INK = (28, 44, 78)           # outlines and the wordmark
ACCENT = (0, 114, 206)       # blue of the wordmark and the card stripe
SHADOW = (190, 198, 210)
WHITE = (255, 255, 255)
CARD = (246, 249, 252)
CARD_EDGE = (150, 160, 175)
BODY = (206, 211, 218)
BODY_DARK = (120, 128, 140)
SLOT = (52, 58, 68)
GOOD = (34, 160, 76)
GOOD_HALO = [(150, 216, 168), (178, 228, 190), (206, 240, 214)]
AMBER = (245, 170, 20)
BAD = (214, 36, 44)
BAD_DIM = (240, 150, 150)
CASSETTE = (74, 84, 100)
CASSETTE_RIM = (110, 120, 138)
CASSETTE_INSIDE = (40, 46, 56)
RIBBON_PANELS = {
    "Y": ((250, 214, 0), (70, 56, 0)),
    "M": ((214, 0, 120), WHITE),
    "C": ((0, 158, 224), WHITE),
    "K": ((24, 24, 28), WHITE),
    "O": ((222, 230, 240), (86, 98, 120)),
    "P": ((236, 226, 198), (96, 84, 60)),
}
RIBBON_UNKNOWN = ((118, 122, 132), WHITE)

# ---------------------------------------------------------------------------------------------
# The pictures: each returns (width, height, palette, frames, delays in 1/100 s or None)


def still(width, height, draw):
    palette = Palette()
    canvas = Canvas(width, height, palette)
    draw(canvas)
    return width, height, palette, [canvas], None


def draw_card(c, x, y, w, h, printed=False):
    c.framed_round_rect(x, y, x + w, y + h, 2, CARD_EDGE, CARD)
    if printed:
        c.rect(x + 3, y + 3, x + 9, y + h - 3, ACCENT)          # photo
        c.circle(x + 6, y + 6, 2, (250, 214, 0))
        c.rect(x + 11, y + 4, x + w - 3, y + 6, INK)            # name
        c.rect(x + 11, y + 8, x + w - 5, y + 9, (214, 0, 120))  # details
    else:
        c.rect(x + 1, y + 3, x + w - 1, y + 5, ACCENT)


def draw_printer(c, x0, y0, x1, y1, led):
    c.framed_round_rect(x0, y0, x1, y1, 4, BODY_DARK, BODY)
    c.rect(x0 + 3, y0 + 3, x1 - 3, y0 + 8, (226, 230, 236))  # lid
    c.rect(x0 + 4, y1 - 9, x1 - 4, y1 - 6, SLOT)             # card exit
    c.circle(x1 - 7, y0 + 13, 2, led)


def logo():
    def draw(c):
        c.framed_round_rect(4, 8, 40, 32, 3, INK, CARD)
        c.rect(5, 12, 39, 16, ACCENT)
        c.round_rect(8, 19, 15, 25, 1, (214, 178, 60))  # contact chip
        c.rect(18, 20, 35, 22, SHADOW)
        c.rect(18, 24, 31, 26, SHADOW)
        scale, gap, bold = 3, 4, 1
        x, y = 50, (40 - GLYPH_HEIGHT * scale) // 2 - 1
        c.text(x + 1, y + 1, "TPX800", SHADOW, scale, gap, bold)
        c.text(x, y, "TPX", INK, scale, gap, bold)
        c.text(x + text_width("TPX", scale, gap) + gap, y, "800", ACCENT, scale, gap, bold)
        c.rect(x, 34, x + text_width("TPX800", scale, gap, bold), 36, ACCENT)
    return still(180, 40, draw)


def ready():
    """A printer with a green tick whose halo pulses."""
    palette = Palette()
    frames = []
    for grow in (0, 1, 2, 3, 4, 3, 2, 1):
        c = Canvas(64, 64, palette)
        draw_printer(c, 4, 26, 52, 58, GOOD)
        if grow:
            c.circle(45, 19, 12 + grow, GOOD_HALO[min(grow, 3) - 1])
        c.circle(45, 19, 12, WHITE)
        c.circle(45, 19, 11, GOOD)
        c.line(39, 19.5, 43.5, 24, 3.2, WHITE)
        c.line(43.5, 24, 51, 14.5, 3.2, WHITE)
        frames.append(c)
    return 64, 64, palette, frames, [25] * len(frames)  # a calm two-second pulse: ready is the idle state


def run():
    """A blank card going into the printer and coming out printed, from above."""
    palette = Palette()
    frames = []
    for step, x in enumerate((-22, -10, 2, 14, 30, 38, 48, 60)):
        c = Canvas(64, 64, palette)
        draw_card(c, x, 26, 22, 14, printed=x > 24)
        draw_printer(c, 15, 14, 49, 52, AMBER if step % 2 else BODY_DARK)
        frames.append(c)
    return 64, 64, palette, frames, [14] * len(frames)


def error():
    """A red exclamation mark that blinks."""
    palette = Palette()
    frames = []
    for colour in (BAD, BAD_DIM):
        c = Canvas(64, 64, palette)
        c.circle(32, 32, 27, WHITE)
        c.circle(32, 32, 25, colour)
        c.round_rect(28, 13, 36, 40, 4, WHITE)
        c.circle(32, 47.5, 4.5, WHITE)
        frames.append(c)
    return 64, 64, palette, frames, [60, 40]


def cassette(cards):
    def draw(c):
        c.polygon([(10, 8), (70, 8), (76, 42), (4, 42)], CASSETTE_RIM)          # back and sides
        c.polygon([(14, 12), (66, 12), (70, 40), (10, 40)], CASSETTE_INSIDE)
        if cards:
            for i in range(7):                                                  # edges of the stack
                c.rect(9, 30 + i * 2, 71, 31 + i * 2, CARD)
                c.rect(9, 31 + i * 2, 71, 32 + i * 2, CARD_EDGE)
            c.polygon([(16, 16), (64, 16), (70, 30), (10, 30)], CARD)           # top card
            c.polygon([(15.2, 18), (64.8, 18), (66.1, 21), (13.9, 21)], ACCENT)
        else:
            c.polygon([(14, 34), (66, 34), (70, 40), (10, 40)], (58, 66, 80))    # floor
        c.framed_round_rect(2, 38, 78, 58, 3, INK, CASSETTE)                   # front wall
        c.circle(40, 38, 8, CASSETTE_INSIDE if not cards else CARD_EDGE)        # finger notch
        c.rect(24, 50, 56, 53, CASSETTE_RIM)
    return still(80, 60, draw)


def ribbon(letters, unknown=False):
    def draw(c):
        for x0 in (0, 140):                                                     # spools
            c.framed_round_rect(x0, 1, x0 + 10, 29, 2, INK, BODY_DARK)
            c.rect(x0 + 3, 12, x0 + 7, 18, BODY)
        if unknown:
            fill, mark = RIBBON_UNKNOWN
            c.rect(10, 4, 140, 26, fill)
            c.text(75 - GLYPH_WIDTH * 3 // 2 - 1, 5, "?", mark, 3, bold=1)
            return
        width = 126 // len(letters)
        left = 10 + (130 - width * len(letters)) // 2
        c.rect(10, 4, 140, 26, SHADOW)                                           # clear film between panels
        for i, letter in enumerate(letters):
            fill, mark = RIBBON_PANELS[letter]
            x = left + i * width
            c.rect(x + 1, 4, x + width, 26, fill)
            c.text(x + 1 + (width - 2 - GLYPH_WIDTH * 2) // 2, 8, letter, mark, 2, bold=1)
    return still(150, 30, draw)


def all_pictures():
    return {
        "LOGO.gif": logo(),
        "READY.gif": ready(),
        "RUN.gif": run(),
        "ERROR.gif": error(),
        "ANY.gif": cassette(cards=True),
        "NONE.gif": cassette(cards=False),
        "YMCKOP.gif": ribbon("YMCKOP"),
        "YMCKOPK.gif": ribbon("YMCKOPK"),
        "BLACK.gif": ribbon("KKKKKK"),
        "INKUNK.gif": ribbon("", unknown=True),
    }

# ---------------------------------------------------------------------------------------------
# GIF89a


def lzw(indices, min_size):
    """Variable-width LZW as GIF wants it: codes packed from the low bit, a clear code first and
    whenever the 12-bit table is full."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc = bits = 0

    def emit(code, size):
        nonlocal acc, bits
        acc |= code << bits
        bits += size
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    size, next_code, table = min_size + 1, end + 1, {}
    emit(clear, size)
    prefix = indices[0]
    for k in indices[1:]:
        code = table.get((prefix, k))
        if code is not None:
            prefix = code
            continue
        emit(prefix, size)
        table[(prefix, k)] = next_code
        # The decoder adds this entry one code later, so it widens exactly when this one overflows.
        if next_code == 1 << size and size < 12:
            size += 1
        next_code += 1
        if next_code == 4096:
            emit(clear, size)
            size, next_code, table = min_size + 1, end + 1, {}
        prefix = k
    emit(prefix, size)
    emit(end, size)
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif(width, height, palette, frames, delays):
    colours = palette.colours
    table_bits = max(1, (len(colours) - 1).bit_length())
    out = bytearray(b"GIF89a")
    # Global colour table; the background index is the see-through one, so cleared frames show the window.
    out += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (table_bits - 1), 0, 0)
    for rgb in colours + [(0, 0, 0)] * ((1 << table_bits) - len(colours)):
        out += bytes(rgb)
    animated = len(frames) > 1
    if animated:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\x00"  # loop for ever
    min_size = max(2, table_bits)
    for i, frame in enumerate(frames):
        disposal = 2 if animated else 0  # each frame is whole: restore to background before the next
        delay = delays[i] if animated else 0
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (disposal << 2) | 1, delay, 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
        out.append(min_size)
        data = lzw(frame.pixels, min_size)
        for start in range(0, len(data), 255):
            chunk = data[start:start + 255]
            out.append(len(chunk))
            out += chunk
        out.append(0)
    out.append(0x3B)
    return bytes(out)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_pictures.py OUTPUT_FOLDER\n")
        return 2
    folder = argv[1]
    # Everything is encoded before anything is written, and each file is replaced whole.
    encoded = {name: gif(*picture) for name, picture in all_pictures().items()}
    os.makedirs(folder, exist_ok=True)
    for name, data in encoded.items():
        path = os.path.join(folder, name)
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
