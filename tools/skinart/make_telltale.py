#!/usr/bin/env python3
"""The tell-tale variant of a skin, for tests: the same source, with every
piece its skin names painted a colour of its own and its top-left quarter
in a second one, so that a wrong piece, a wrong state or a wrong turn
shows as a wrong colour where a picture of symmetric art would pass.
Transparent (key-coloured) pixels stay transparent, so regions and masks
come out as the skin's own.

    make_telltale.py SOURCE_DIR OUTPUT_DIR
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bmpio  # noqa: E402

KEY = (255, 0, 255)
OUTSIDE = (128, 128, 128)
PIECE = re.compile(r'bitmap "([^"]+)" rect (\d+) (\d+) (\d+) (\d+)')


def piece_colour(index):
    """Colours far apart for neighbouring indexes, never the key."""
    colour = ((index * 97 + 30) % 256, (index * 57 + 80) % 256, (index * 151 + 40) % 256)
    return colour if colour != KEY else (colour[0], 1, colour[2])


def marker_of(colour):
    return tuple(255 - c for c in colour)


def pieces_by_bitmap(source):
    pieces = {}
    for name, *rect in PIECE.findall(source):
        rect = tuple(int(v) for v in rect)
        pieces.setdefault(name, [])
        if rect not in pieces[name]:
            pieces[name].append(rect)
    return pieces


def telltale_rows(rows, rects, first_index):
    width, height = len(rows[0]), len(rows)
    out = [[KEY if pixel == KEY else OUTSIDE for pixel in row] for row in rows]
    for offset, (left, top, right, bottom) in enumerate(rects):
        colour = piece_colour(first_index + offset)
        marker = marker_of(colour)
        middle_x, middle_y = left + (right - left) // 2, top + (bottom - top) // 2
        for y in range(top, min(bottom, height)):
            for x in range(left, min(right, width)):
                if rows[y][x] != KEY:
                    out[y][x] = marker if x < middle_x and y < middle_y else colour
    return out


def encode(rows):
    palette, indices = [], []
    for row in rows:
        for pixel in row:
            if pixel not in palette:
                palette.append(pixel)
            indices.append(palette.index(pixel))
    if len(palette) > bmpio.PALETTE_SIZE:
        raise SystemExit('more than %d colours in one bitmap' % bmpio.PALETTE_SIZE)
    palette += [(0, 0, 0)] * (bmpio.PALETTE_SIZE - len(palette))
    return bmpio.encode_bmp8(len(rows[0]), len(rows), palette, indices)


def main(source_dir, output_dir):
    with open(os.path.join(source_dir, 'skin.txt'), encoding='utf-8') as f:
        source = f.read()
    os.makedirs(output_dir, exist_ok=True)
    index = 0
    for name, rects in sorted(pieces_by_bitmap(source).items()):
        with open(os.path.join(source_dir, name), 'rb') as f:
            _, _, _, _, rows = bmpio.decode_bmp8(f.read())
        with open(os.path.join(output_dir, name), 'wb') as f:
            f.write(encode(telltale_rows(rows, rects, index)))
        index += len(rects)
    with open(os.path.join(output_dir, 'skin.txt'), 'w', encoding='utf-8') as f:
        f.write(source)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2])
