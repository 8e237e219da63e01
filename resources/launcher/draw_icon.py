#!/usr/bin/env python3
"""Draws launcher.ico (icon 100 of Install.exe and Uninstall.exe), 16x16 and 32x32, 32 bits per
pixel: a card printer with a card on a blue disc. Run it again after changing the drawing; the build
uses the committed launcher.ico."""
import os, struct, sys

def pixel(x, y, n):
    # coordinates scaled to a 32-unit grid
    u, v = x * 32.0 / n + 0.5 * 32 / n, y * 32.0 / n + 0.5 * 32 / n
    d = ((u - 16) ** 2 + (v - 16) ** 2) ** 0.5
    if d > 15.5:
        return (0, 0, 0, 0)
    r, g, b = 30, 90, 190
    if 6 <= u < 26 and 14 <= v < 24:  # printer body
        r, g, b = 235, 236, 240
        if 9 <= u < 23 and 17 <= v < 19:  # card slot
            r, g, b = 40, 40, 50
        if 21 <= u < 24 and 21 <= v < 23:  # power light
            r, g, b = 40, 200, 80
    if 10 <= u < 22 and 6 <= v < 14:  # card
        r, g, b = 250, 250, 250
        if 11 <= u < 15 and 8 <= v < 12:  # photo
            r, g, b = 200, 150, 110
    return (b, g, r, 255)

def image(n):
    rows = b"".join(bytes(c for x in range(n) for c in pixel(x, y, n)) for y in range(n - 1, -1, -1))
    mask_row = ((n + 31) // 32) * 4
    mask = b"\0" * (mask_row * n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    return header + rows + mask

def main(out):
    sizes = [16, 32]
    images = [image(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "launcher.ico"))
