#!/usr/bin/env python3
"""Writes the small AVI clips that the animation control's tests and the
gallery play: a ring of ten dots, one lit per frame, going round.

Every frame is 8-bit with a 256-entry palette.  Its top-left pixel holds
the key colour (a transparent animation control shows what lies behind
wherever a frame has the colour of its own top-left pixel), so the dots
never reach the corners.  Frame n lights dot n, which lets a test tell the
frames apart by one pixel: dot n's centre is at dot_centre(n).

    make_clip.py OUTPUT.avi [--rle]

Without --rle the frames are stored uncompressed ('DIB '), with it as
RLE8 ('mrle'); both decode to the same pictures.
"""

import math
import struct
import sys

WIDTH = 48
HEIGHT = 40
FRAMES = 10
RATE = 20  # frames per second, dwRate / dwScale
SCALE = 1
RING_RADIUS = 13
DOT_RADIUS = 3

KEY = (0, 255, 0)
LIT = (200, 40, 40)
DIM = (40, 60, 160)
PALETTE = [KEY, LIT, DIM] + [(0, 0, 0)] * 253
KEY_INDEX, LIT_INDEX, DIM_INDEX = 0, 1, 2

AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10
BI_RGB, BI_RLE8 = 0, 1


def dot_centre(n):
    """The centre of dot n, clockwise from the top; (x, y) from the top left."""
    angle = 2 * math.pi * n / FRAMES
    return (WIDTH // 2 + round(RING_RADIUS * math.sin(angle)),
            HEIGHT // 2 - round(RING_RADIUS * math.cos(angle)))


def frame_rows(frame):
    """The palette indexes of one frame, rows from the top."""
    rows = [[KEY_INDEX] * WIDTH for _ in range(HEIGHT)]
    for n in range(FRAMES):
        cx, cy = dot_centre(n)
        colour = LIT_INDEX if n == frame else DIM_INDEX
        for y in range(cy - DOT_RADIUS, cy + DOT_RADIUS + 1):
            for x in range(cx - DOT_RADIUS, cx + DOT_RADIUS + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= DOT_RADIUS ** 2:
                    rows[y][x] = colour
    return rows


def stride():
    return (WIDTH + 3) & ~3


def uncompressed(rows):
    """Rows bottom-up, each padded to four bytes."""
    pad = bytes(stride() - WIDTH)
    return b"".join(bytes(row) + pad for row in reversed(rows))


def rle8(rows):
    """Encoded runs of each row bottom-up, an end-of-line after every row but
    the last, then the end of the picture."""
    out = bytearray()
    for i, row in enumerate(reversed(rows)):
        x = 0
        while x < WIDTH:
            run = 1
            while x + run < WIDTH and run < 255 and row[x + run] == row[x]:
                run += 1
            out += bytes((run, row[x]))
            x += run
        if i < HEIGHT - 1:
            out += b"\x00\x00"
    out += b"\x00\x01"
    return bytes(out)


def chunk(fourcc, data):
    pad = b"\x00" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, parts):
    body = fourcc + b"".join(parts)
    return kind + struct.pack("<I", len(body)) + body


def bitmap_header(compression, image_size):
    return struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, compression, image_size, 0, 0, 256, 0)


def build(rle):
    encode = rle8 if rle else uncompressed
    frames = [encode(frame_rows(n)) for n in range(FRAMES)]
    largest = max(len(f) for f in frames)
    compression, handler, tag = (BI_RLE8, b"mrle", b"00dc") if rle else (BI_RGB, b"DIB ", b"00db")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)

    avih = struct.pack("<14I", 1000000 * SCALE // RATE, largest * RATE, 0, AVIF_HASINDEX, FRAMES, 0, 1,
                       largest, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b"vids" + handler + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, SCALE, RATE, 0, FRAMES, largest,
                                            0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    strf = bitmap_header(compression, stride() * HEIGHT if not rle else largest) + palette
    header = riff_list(b"LIST", b"hdrl",
                       [chunk(b"avih", avih), riff_list(b"LIST", b"strl", [chunk(b"strh", strh),
                                                                            chunk(b"strf", strf)])])

    # Index offsets count from the "movi" type code.
    movi_chunks, index, offset = [], [], 4
    for data in frames:
        piece = chunk(tag, data)
        index.append(struct.pack("<4sIII", tag, AVIIF_KEYFRAME, offset, len(data)))
        movi_chunks.append(piece)
        offset += len(piece)
    movi = riff_list(b"LIST", b"movi", movi_chunks)
    return riff_list(b"RIFF", b"AVI ", [header, movi, chunk(b"idx1", b"".join(index))])


def main(argv):
    if len(argv) not in (2, 3) or (len(argv) == 3 and argv[2] != "--rle"):
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "wb") as out:
        out.write(build(len(argv) == 3))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
