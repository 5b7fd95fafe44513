#!/usr/bin/env python3
"""Writes the small seed bitmaps of fuzz/corpus/bmp: one per header form,
depth and compression the decoder knows, each a few pixels in size."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bmp")


def info_header(size, width, height, bits, compression=0, colours=0, image_size=0):
    if size == 12:
        return struct.pack("<IHHHH", 12, width, height, 1, bits)
    body = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression,
                       image_size, 3780, 2834, colours, 0)
    return body + bytes(size - 40)


def palette(count, entry_size=4):
    out = b""
    for i in range(count):
        entry = bytes([(i * 37) & 255, (i * 91) & 255, (255 - i) & 255])
        out += entry + (b"\0" if entry_size == 4 else b"")
    return out


def rows(width, height, bits, seed=1):
    stride = (width * bits + 31) // 32 * 4
    return bytes(((x * seed + y * 7) & 255) for y in range(height) for x in range(stride))


def bmp(header, extra, pixels, file_header=True):
    body = header + extra
    if not file_header:
        return body + pixels
    offset = 14 + len(body)
    return struct.pack("<HIHHI", 0x4D42, offset + len(pixels), 0, 0, offset) + body + pixels


def seeds():
    for bits in (1, 4, 8):
        yield f"pal{bits}.bmp", bmp(info_header(40, 5, 3, bits), palette(1 << bits), rows(5, 3, bits))
    yield "pal8-short-palette.bmp", bmp(info_header(40, 5, 3, 8, colours=3), palette(3), rows(5, 3, 8))
    yield "pal8-core.bmp", bmp(info_header(12, 5, 3, 8), palette(256, 3), rows(5, 3, 8))
    yield "pal8-os2v2.bmp", bmp(info_header(64, 5, 3, 8), palette(256), rows(5, 3, 8))
    yield "pal8-bare.bmp", bmp(info_header(40, 5, 3, 8, colours=4), palette(4), rows(5, 3, 8), False)
    yield "pal8-topdown.bmp", bmp(info_header(40, 5, -3, 8, colours=4), palette(4), rows(5, 3, 8))
    yield "rgb16.bmp", bmp(info_header(40, 3, 2, 16), b"", rows(3, 2, 16, 5))
    yield "rgb16-565.bmp", bmp(info_header(40, 3, 2, 16, 3), struct.pack("<III", 0xF800, 0x07E0, 0x001F),
                               rows(3, 2, 16, 3))
    yield "rgb24.bmp", bmp(info_header(40, 3, 2, 24), b"", rows(3, 2, 24, 11))
    yield "rgb32.bmp", bmp(info_header(40, 3, 2, 32), b"", rows(3, 2, 32, 13))
    yield "rgb32-bitfields.bmp", bmp(info_header(40, 2, 2, 32, 3),
                                     struct.pack("<III", 0xFF0000, 0xFF00, 0xFF), rows(2, 2, 32, 17))
    rle8 = bytes([3, 7, 0, 3, 1, 2, 9, 0, 0, 0, 0, 2, 2, 1, 2, 5, 0, 0, 4, 6, 0, 1])
    yield "pal8-rle8.bmp", bmp(info_header(40, 6, 3, 8, 1, 16, len(rle8)), palette(16), rle8)
    rle4 = bytes([5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 2, 1, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1])
    yield "pal4-rle4.bmp", bmp(info_header(40, 10, 2, 4, 2, 16, len(rle4)), palette(16), rle4)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
