"""The kept clips are what their generator writes (the animation tests
under Wine check what they decode to)."""

import os
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


if __name__ == '__main__':
    unittest.main()
