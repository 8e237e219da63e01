#!/usr/bin/env python3
"""Draws logo.bmp (bitmap 3001 of the wizard pages): a card printer on a blue band.
Run it again after changing the drawing; the build uses the committed logo.bmp."""
import struct, sys, os

W, H = 120, 150

def pixel(x, y):
    # vertical blue gradient
    t = y / (H - 1)
    r, g, b = int(20 + 30 * t), int(60 + 80 * t), int(140 + 100 * t)
    # printer body
    if 20 <= x < 100 and 60 <= y < 100:
        r, g, b = 230, 232, 236
        if y in (60, 99) or x in (20, 99):
            r, g, b = 90, 90, 100
        if 30 <= x < 90 and 72 <= y < 76:   # card slot
            r, g, b = 40, 40, 48
        if 84 <= x < 92 and 88 <= y < 93:   # power light
            r, g, b = 40, 200, 80
    # card coming out of the slot
    if 38 <= x < 82 and 40 <= y < 72:
        r, g, b = 250, 250, 250
        if 42 <= x < 56 and 46 <= y < 62:  # photo
            r, g, b = 200, 160, 120
        if 60 <= x < 78 and y in (48, 52, 56, 60):  # text lines
            r, g, b = 120, 120, 130
        if x in (38, 81) or y == 40:
            r, g, b = 150, 150, 160
    return b, g, r

def main(out):
    row = (W * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):
        line = bytearray()
        for x in range(W):
            line += bytes(pixel(x, y))
        line += b"\0" * (row - W * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + data)

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "logo.bmp"))
