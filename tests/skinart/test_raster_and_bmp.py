"""The drawing and file helpers behind the skin art."""

import os
import struct
import sys
import unittest
import zlib

sys.dont_write_bytecode = True
ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'skinart'))

from bmpio import BmpFormatError, build_palette, decode_bmp8, encode_bmp8, encode_png  # noqa: E402
from raster import KEY, Canvas, Mask, sd_round_rect  # noqa: E402
from sheet import Sheet  # noqa: E402


class Palette(unittest.TestCase):
    def test_few_colours_are_kept_exactly_and_the_key_stays_first(self):
        pixels = [KEY, (1, 2, 3), (200, 100, 50), (1, 2, 3)]
        palette, indices, worst = build_palette(pixels)
        self.assertEqual(len(palette), 256)
        self.assertEqual(palette[0], KEY)
        self.assertEqual([palette[i] for i in indices], pixels)
        self.assertEqual(worst, 0)

    def test_many_colours_are_reduced_without_touching_the_key(self):
        # A near-magenta ramp must not fall onto the key: that would punch
        # holes into opaque art.
        pixels = [(r, g, 255 - r // 2) for r in range(0, 256, 4) for g in range(0, 256, 8)]
        pixels += [(254, 0, 254), (255, 1, 255), KEY]
        palette, indices, worst = build_palette(pixels)
        self.assertLessEqual(len(set(indices)), 256)
        self.assertEqual(palette.count(KEY), 1)
        for p, i in zip(pixels, indices):
            self.assertEqual(palette[i] == KEY, p == KEY, p)
        self.assertLess(worst, 3 * 16 ** 2)


class BmpFiles(unittest.TestCase):
    def test_round_trip_keeps_rows_in_order_and_pads_them(self):
        rows = [[(10, 20, 30), (40, 50, 60), KEY], [KEY, (70, 80, 90), (10, 20, 30)]]
        flat = [p for row in rows for p in row]
        palette, indices, _ = build_palette(flat)
        data = encode_bmp8(3, 2, palette, indices)
        self.assertEqual(len(data), 1078 + 4 * 2)
        width, height, header, _, decoded = decode_bmp8(data)
        self.assertEqual((width, height), (3, 2))
        self.assertEqual(decoded, rows)
        # Bottom-up: the first stored row is the bottom one.
        self.assertEqual(palette[data[1078]], KEY)

    def test_damaged_files_are_refused(self):
        palette, indices, _ = build_palette([(1, 1, 1)] * 4)
        data = encode_bmp8(2, 2, palette, indices)
        with self.assertRaises(BmpFormatError):
            decode_bmp8(data[:100])
        with self.assertRaises(BmpFormatError):
            decode_bmp8(data[:-3])
        top_down = bytearray(data)
        top_down[22:26] = struct.pack('<i', -2)
        with self.assertRaises(BmpFormatError):
            decode_bmp8(bytes(top_down))

    def test_png_with_transparent_pixels_is_rgba(self):
        png = encode_png(2, 1, [[None, (1, 2, 3)]])
        self.assertEqual(png[25], 6)
        idat = png.index(b'IDAT')
        length = struct.unpack('>I', png[idat - 4:idat])[0]
        self.assertEqual(zlib.decompress(png[idat + 4:idat + 4 + length]), bytes([0, 0, 0, 0, 0, 1, 2, 3, 255]))


class Drawing(unittest.TestCase):
    def test_rounded_corners_become_key_and_the_inside_stays(self):
        canvas = Canvas(12, 12)
        canvas.draw(sd_round_rect(0, 0, 12, 12, 4), (10, 20, 30))
        canvas.key_out()
        self.assertEqual(canvas.get(0, 0), KEY)
        self.assertEqual(canvas.get(11, 11), KEY)
        self.assertEqual(canvas.get(6, 0), (10, 20, 30))
        self.assertEqual(canvas.get(6, 6), (10, 20, 30))

    def test_soft_edges_blend_towards_the_backdrop(self):
        canvas = Canvas(8, 1)
        canvas.underlay(lambda x, y: (0, 0, 0))
        Mask(8, 1).add(lambda x, y: x - 3.5).lay_on(canvas, (200, 200, 200))
        self.assertEqual(canvas.get(2, 0), (200, 200, 200))
        self.assertEqual(canvas.get(3, 0), (100, 100, 100))
        canvas.key_out()
        self.assertEqual(canvas.get(5, 0), KEY)

    def test_restore_glyph_hides_the_back_window_behind_the_front(self):
        mask = Mask(10, 10).outline(2, 0, 10, 8).clear(0, 2, 8, 10).outline(0, 2, 8, 10)
        self.assertEqual(mask.cover[5 * 10 + 5], 0.0)   # inside the front window
        self.assertEqual(mask.cover[0 * 10 + 5], 1.0)   # top of the back window
        self.assertEqual(mask.cover[5 * 10 + 9], 1.0)   # right side of the back window


class Sheets(unittest.TestCase):
    def test_sprites_wrap_to_a_new_row_and_never_overlap(self):
        sheet = Sheet('t.bmp', 20)
        a = sheet.place(Canvas(12, 5), 'a')
        b = sheet.place(Canvas(12, 3), 'b')
        c = sheet.place(Canvas(4, 4), 'c')
        self.assertEqual(a, (0, 0, 12, 5))
        self.assertEqual(b, (0, 7, 12, 10))
        self.assertEqual(c, (14, 7, 18, 11))
        self.assertEqual(sheet.render().height, 11)

    def test_margins_larger_than_the_picture_are_refused(self):
        with self.assertRaises(ValueError):
            Sheet('t.bmp', 20).frame(Canvas(6, 6), 'x', (4, 0, 4, 0))
        with self.assertRaises(ValueError):
            Sheet('t.bmp', 20).place(Canvas(21, 1), 'too wide')


if __name__ == '__main__':
    unittest.main()
