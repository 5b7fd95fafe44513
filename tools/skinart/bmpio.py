"""Palette reduction and the file formats of the skin art.

The skin bitmaps are 8-bit, 256-colour, bottom-up BMPs with a 40-byte
BITMAPINFOHEADER and no compression.  The key colour keeps its exact value:
it never takes part in the reduction and no other colour may map onto it.
"""

import struct
import zlib

from raster import KEY

PALETTE_SIZE = 256
PIXELS_PER_METRE = 3780  # 96 dpi
HEADER_BYTES = 14 + 40 + PALETTE_SIZE * 4


def _distance2(a, b):
    return (a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2 + (a[2] - b[2]) ** 2


def _median_cut(histogram, boxes_wanted):
    """Splits the colour histogram into boxes and returns their weighted means."""
    boxes = [list(histogram.items())]
    while len(boxes) < boxes_wanted:
        best, best_score = None, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            spans = [max(c[k] for c, _ in box) - min(c[k] for c, _ in box) for k in range(3)]
            score = max(spans) * sum(n for _, n in box) ** 0.5
            if score > best_score:
                best, best_score = i, score
        if best is None:
            break
        box = boxes.pop(best)
        spans = [max(c[k] for c, _ in box) - min(c[k] for c, _ in box) for k in range(3)]
        axis = spans.index(max(spans))
        box.sort(key=lambda item: item[0][axis])
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for cut, (_, n) in enumerate(box, 1):
            running += n
            if running * 2 >= total:
                break
        cut = min(max(cut, 1), len(box) - 1)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(round(sum(c[k] * n for c, n in box) / total) for k in range(3)))
    return palette


def build_palette(pixels):
    """Returns (palette, index of every pixel, worst squared error)."""
    histogram = {}
    for p in pixels:
        if p != KEY:
            histogram[p] = histogram.get(p, 0) + 1
    colours = sorted(histogram) if len(histogram) < PALETTE_SIZE \
        else sorted(set(_median_cut(histogram, PALETTE_SIZE - 1)) - {KEY})
    palette = [KEY] + colours
    lookup = {KEY: 0}
    worst = 0
    for colour in histogram:
        index = min(range(1, len(palette)), key=lambda i: _distance2(colour, palette[i]))
        lookup[colour] = index
        worst = max(worst, _distance2(colour, palette[index]))
    palette += [(0, 0, 0)] * (PALETTE_SIZE - len(palette))
    return palette, [lookup[p] for p in pixels], worst


def encode_bmp8(width, height, palette, indices):
    """An uncompressed bottom-up 8-bit BMP file from top-down palette indices."""
    stride = (width + 3) & ~3
    image_size = stride * height
    out = bytearray()
    out += struct.pack('<2sIHHI', b'BM', HEADER_BYTES + image_size, 0, 0, HEADER_BYTES)
    out += struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, image_size,
                       PIXELS_PER_METRE, PIXELS_PER_METRE, PALETTE_SIZE, 0)
    for r, g, b in palette:
        out += bytes((b, g, r, 0))
    padding = bytes(stride - width)
    for y in range(height - 1, -1, -1):
        out += bytes(indices[y * width:(y + 1) * width]) + padding
    return bytes(out)


class BmpFormatError(ValueError):
    pass


def decode_bmp8(data):
    """Reads back what encode_bmp8 writes: (width, height, header, palette, top-down rows of RGB)."""
    if len(data) < HEADER_BYTES:
        raise BmpFormatError('truncated header: %d bytes' % len(data))
    magic, file_size, _, _, offset = struct.unpack_from('<2sIHHI', data, 0)
    header = dict(zip(('size', 'width', 'height', 'planes', 'bits', 'compression', 'image_size',
                       'xppm', 'yppm', 'colours_used', 'colours_important'),
                      struct.unpack_from('<IiiHHIIiiII', data, 14)))
    header.update(magic=magic, file_size=file_size, offset=offset)
    if magic != b'BM' or header['size'] != 40 or header['bits'] != 8 or header['compression'] != 0:
        raise BmpFormatError('not an uncompressed 8-bit BMP with a 40-byte header')
    width, height = header['width'], header['height']
    if width <= 0 or height <= 0:
        raise BmpFormatError('size %dx%d is not a bottom-up image' % (width, height))
    stride = (width + 3) & ~3
    if offset + stride * height > len(data):
        raise BmpFormatError('truncated pixel rows')
    palette = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i])
               for i in range(PALETTE_SIZE)]
    rows = []
    for y in range(height - 1, -1, -1):
        start = offset + y * stride
        rows.append([palette[i] for i in data[start:start + width]])
    return width, height, header, palette, rows


def encode_png(width, height, rows):
    """A PNG from top-down rows of RGB tuples; None marks a transparent pixel
    and makes the file RGBA."""
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body
                + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))
    with_alpha = any(p is None for row in rows for p in row)
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for p in row:
            if with_alpha:
                raw += bytes((0, 0, 0, 0)) if p is None else bytes(p) + b'\xff'
            else:
                raw += bytes(p)
    colour_type = 6 if with_alpha else 2
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))
