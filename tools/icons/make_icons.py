#!/usr/bin/env python3
"""Draws the program's icons: a blue smart card with a gold chip and a green
check mark, as 16-colour icons (the standard VGA palette), 32x32 and 16x16.

    make_icons.py OUTPUT_DIR   writes sso.ico (32x32 and 16x16) and small.ico
"""
import struct
import sys

PALETTE = [  # the 16 standard colours, as (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREEN, OLIVE, SILVER, GREY, LIME, YELLOW, BLUE, WHITE = 0, 4, 2, 3, 7, 8, 10, 11, 12, 15
TRANSPARENT = None


def draw(size):
    """The picture as rows of palette indexes (None = transparent), top row first."""
    s = size / 32.0
    px = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    # The card, with cut corners and a dark outline.
    rect(1, 6, 31, 26, NAVY)
    rect(2, 7, 30, 25, BLUE)
    for x, y in ((1, 6), (30, 6), (1, 25), (30, 25)):
        rect(x, y, x + 1, y + 1, TRANSPARENT)
    rect(2, 21, 30, 23, NAVY)  # magnetic-looking stripe of text lines
    # The gold chip with its contact lines.
    rect(5, 10, 13, 17, OLIVE)
    rect(6, 11, 12, 16, YELLOW)
    rect(6, 13, 12, 14, OLIVE)
    rect(9, 11, 10, 16, OLIVE)
    # The check mark: the card is ready.
    check = [(17, 14), (18, 15), (19, 16), (20, 17), (21, 16), (22, 15), (23, 14),
             (24, 13), (25, 12), (26, 11), (27, 10)]
    for x, y in check:
        rect(x, y, x + 2, y + 3, LIME)
        rect(x, y + 3, x + 2, y + 4, GREEN)
    return px


def icon_image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_rows, and_rows = [], []
    for row in reversed(px):  # bottom-up
        nibbles = [0 if c is None else c for c in row]
        xor = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(xor + b'\0' * ((4 - len(xor) % 4) % 4))
        bits = 0
        mask = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b'\0' * ((4 - len(mask) % 4) % 4))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def write_icon(path, sizes):
    images = [icon_image(size) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    out_dir = sys.argv[1] if len(sys.argv) > 1 else '.'
    write_icon(out_dir + '/sso.ico', [32, 16])
    write_icon(out_dir + '/small.ico', [16])
