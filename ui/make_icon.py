#!/usr/bin/env python3
"""Draws the application icon, ui/varnel.ico: one 32 x 32 image in the 16 standard colours showing a
Weibull plot, sample points scattered along a fitted straight line. Run it again after changing the
drawing; the output is the same bytes every time."""
import struct
import sys
from pathlib import Path

SIZE = 32
BLACK, NAVY, SILVER, RED, BLUE, WHITE = 0, 4, 7, 9, 12, 15
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def draw():
    """Returns rows top to bottom of palette indices, None where the icon is transparent."""
    pixels = [[None] * SIZE for _ in range(SIZE)]
    for y in range(1, SIZE - 1):
        for x in range(1, SIZE - 1):
            border = x in (1, SIZE - 2) or y in (1, SIZE - 2)
            grid = (x - 5) % 6 == 0 or (26 - y) % 6 == 0
            pixels[y][x] = NAVY if border else SILVER if grid else WHITE
    for i in range(3, 29):
        pixels[26][i] = BLACK
        pixels[i][5] = BLACK
    # The fitted line, from the lower left to the upper right, one pixel per column.
    for x in range(6, 29):
        pixels[round(25 - (x - 6) * 21 / 22)][x] = RED
    for cx, cy in [(8, 21), (11, 20), (14, 16), (17, 15), (20, 10), (23, 9), (26, 5)]:
        for dx in (0, 1):
            for dy in (0, 1):
                pixels[cy + dy][cx + dx] = BLUE
    return pixels


def icon_bytes(pixels):
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        nibbles = [0 if p is None else p for p in row]
        xor_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
        mask = 0
        for p in row:
            mask = (mask << 1) | (p is None)
        and_rows.append(mask.to_bytes(SIZE // 8, "big"))
    xor_bits, and_bits = b"".join(xor_rows), b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor_bits) + len(and_bits),
                         0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + xor_bits + and_bits
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("varnel.ico")
    out.write_bytes(icon_bytes(draw()))
