"""The kept clips match their generator, and their frames hold what the
animation tests rely on."""

import os
import struct
import sys
import unittest

sys.dont_write_bytecode = True
CLIPS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools', 'clip'))
sys.path.insert(0, CLIPS)

import make_clip  # noqa: E402


class KeptClips(unittest.TestCase):
    def test_kept_files_are_what_the_generator_writes(self):
        for name, rle in (('spinner.avi', False), ('spinner-rle.avi', True)):
            with open(os.path.join(CLIPS, name), 'rb') as kept:
                self.assertEqual(kept.read(), make_clip.build(rle), name + ': run make_clip.py again')

    def test_rle_rows_expand_to_the_uncompressed_rows(self):
        for frame in range(make_clip.FRAMES):
            rows = make_clip.frame_rows(frame)
            self.assertEqual(expand_rle8(make_clip.rle8(rows)), [bytes(r) for r in reversed(rows)])

    def test_each_frame_lights_only_its_own_dot_and_keeps_the_key_corner(self):
        for frame in range(make_clip.FRAMES):
            rows = make_clip.frame_rows(frame)
            self.assertEqual(rows[0][0], make_clip.KEY_INDEX)
            lit = [n for n in range(make_clip.FRAMES)
                   if rows[make_clip.dot_centre(n)[1]][make_clip.dot_centre(n)[0]] == make_clip.LIT_INDEX]
            self.assertEqual(lit, [frame])

    def test_index_points_at_every_frame_chunk(self):
        data = make_clip.build(False)
        movi = data.index(b'movi')
        idx1 = data.index(b'idx1')
        count = struct.unpack_from('<I', data, idx1 + 4)[0] // 16
        self.assertEqual(count, make_clip.FRAMES)
        for i in range(count):
            tag, _, offset, length = struct.unpack_from('<4sIII', data, idx1 + 8 + 16 * i)
            self.assertEqual(data[movi + offset:movi + offset + 4], tag)
            self.assertEqual(struct.unpack_from('<I', data, movi + offset + 4)[0], length)


def expand_rle8(data):
    rows, row, i = [], bytearray(), 0
    while i < len(data):
        count, value = data[i], data[i + 1]
        i += 2
        if count:
            row += bytes([value]) * count
        elif value in (0, 1):
            rows.append(bytes(row))
            row = bytearray()
            if value == 1:
                break
        else:
            raise ValueError('unexpected escape %d' % value)
    return rows


if __name__ == '__main__':
    unittest.main()
