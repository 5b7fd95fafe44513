"""Checks the committed default skin against what the engine needs from it."""

import os
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'skinart'))

from bmpio import decode_bmp8  # noqa: E402
from defaultskin import DefaultSkin  # noqa: E402
from raster import KEY  # noqa: E402
from sheet import FrameImageRef, ImageRef  # noqa: E402
from skinsource import source_text  # noqa: E402
import make_skin_art  # noqa: E402

SKIN_DIR = os.path.join(ROOT, 'skins', 'default')
BITMAPS = ('active.bmp', 'controls.bmp', 'dialogwindow.bmp', 'main.bmp', 'menuitems.bmp', 'pw.bmp')

SHIPPED_OBJECTS = {
    'Animate': 'AnimateSkin', 'Application': 'SkinInfo', 'Button': 'ButtonSkin',
    'CheckBox': 'CheckBoxSkin', 'ComboBox': 'ComboBoxSkin', 'Dialog': 'FrameSkin',
    'Edit': 'EditSkin', 'GroupBox': 'GroupBoxSkin', 'Header': 'HeaderSkin',
    'ListCtrl': 'ListViewSkin', 'Listbox': 'ListBoxSkin', 'MainFrame': 'FrameSkin',
    'PopupMenu': 'PopupMenuSkin', 'ProgressBar': 'ProgressSkin', 'Radio': 'RadioSkin',
    'Rebar': 'RebarSkin', 'RichEdit': 'RichEditSkin', 'ScrollBar': 'ScrollBarSkin',
    'ScrollControl': 'IpAddressSkin', 'Slider': 'TrackBarSkin', 'Spin': 'SpinSkin',
    'Static': 'StaticSkin', 'StatusBar': 'StatusBarSkin', 'Tab': 'TabSkin',
    'ToolBar': 'ToolBarSkin', 'TreeCtrl': 'TreeViewSkin',
}

# Fields whose pictures the engine draws through the key colour or turns
# into a region; every other picture is copied as it is and must not show
# the key colour.
KEYED_FIELDS = {
    'image', 'hotImage', 'pressedImage', 'disabledImage',
    'ITEM.ACTIVEIMAGE', 'ITEM.SEPARATORIMAGE', 'ITEM.CHECKIMAGE', 'ITEM.SUBMENU',
    'PROGRESSIMAGE', 'THUMB.HORIZONTAL', 'THUMB.VERTICAL',
} | {'%s.IMAGE' % s for s in ('NORMAL', 'PRESSED', 'DEFAULT', 'FOCUSED', 'HIGHLIGHTED', 'DISABLED')} \
  | {'%s.TABIMAGE' % s for s in ('NORMAL', 'PRESSED', 'DISABLED', 'HOVERED')} \
  | {'frameImage[%d]' % i for i in range(5)} \
  | {'%s.BOXIMAGE' % g for g in ('NORMAL', 'SELECTED', 'DISABLED', 'GRAYEDNORMAL', 'GRAYEDSELECTED',
                                 'HIGHLIGHTEDNORMAL', 'HIGHLIGHTEDSELECTED')}


def is_frame_piece(field):
    return field.split('.')[0] in ('ACTIVEFRAME', 'DEACTIVEFRAME', 'FRAME') and field != 'FRAME'


def pixels(bitmaps, ref):
    rows = bitmaps[ref.bitmap]
    l, t, r, b = ref.rect
    return [p for row in rows[t:b] for p in row[l:r]]


class CommittedFiles(unittest.TestCase):
    """The committed bitmaps and source are what the generator makes now."""

    @classmethod
    def setUpClass(cls):
        cls.fresh = tempfile.TemporaryDirectory()
        skin = DefaultSkin()
        make_skin_art.write_bitmaps(skin, cls.fresh.name, cls.fresh.name)
        cls.source = source_text(make_skin_art.HEADER, '1.11', 'sso skin art',
                                 skin.objects, sorted(skin.sheets)) + '\n'

    @classmethod
    def tearDownClass(cls):
        cls.fresh.cleanup()

    def test_bitmaps_are_up_to_date(self):
        for name in BITMAPS:
            with open(os.path.join(SKIN_DIR, name), 'rb') as a, \
                    open(os.path.join(self.fresh.name, name), 'rb') as b:
                self.assertEqual(a.read(), b.read(), '%s differs from a fresh run' % name)

    def test_source_is_up_to_date(self):
        with open(os.path.join(SKIN_DIR, 'skin.txt')) as f:
            self.assertEqual(f.read(), self.source)


class BitmapFormat(unittest.TestCase):
    def test_every_bitmap_is_an_uncompressed_bottom_up_256_colour_bmp(self):
        for name in BITMAPS:
            with open(os.path.join(SKIN_DIR, name), 'rb') as f:
                data = f.read()
            width, height, header, palette, _ = decode_bmp8(data)
            with self.subTest(bitmap=name):
                self.assertEqual(header['size'], 40)
                self.assertEqual(header['bits'], 8)
                self.assertEqual(header['compression'], 0)
                self.assertEqual(header['colours_used'], 256)
                self.assertGreater(header['height'], 0)
                self.assertEqual(header['offset'], 14 + 40 + 256 * 4)
                self.assertEqual(header['file_size'], len(data))
                self.assertEqual(len(data), 1078 + ((width + 3) & ~3) * height)

    def test_key_colour_appears_once_in_each_palette(self):
        for name in BITMAPS:
            with open(os.path.join(SKIN_DIR, name), 'rb') as f:
                palette = decode_bmp8(f.read())[3]
            self.assertEqual(palette.count(KEY), 1, name)


class SkinObjects(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.skin = DefaultSkin()
        cls.objects = {o.name: o for o in cls.skin.objects}

    def test_the_26_shipped_objects_with_their_types(self):
        self.assertEqual({o.name: o.type_name for o in self.skin.objects}, SHIPPED_OBJECTS)

    def test_objects_are_in_byte_order_of_their_names(self):
        names = [o.name.encode() for o in self.skin.objects]
        self.assertEqual(names, sorted(names))

    def test_frames_carry_their_caption_buttons(self):
        self.assertEqual([c.name for c in self.objects['MainFrame'].children],
                         ['Close', 'Max', 'MaxRestore', 'Min', 'MinRestore', 'Sys'])
        self.assertEqual([c.name for c in self.objects['Dialog'].children], ['DialogCLose'])
        for frame in ('MainFrame', 'Dialog'):
            for child in self.objects[frame].children:
                self.assertEqual(child.type_name, 'CaptionButtonSkin')

    def test_skin_info_keys_magenta_and_cuts_regions(self):
        info = dict(self.objects['Application'].fields)
        self.assertEqual(info['keyColour'], (255, 0, 255))
        self.assertEqual(info['USETRANSPARENTCOLOR'], 1)


class Pictures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.skin = DefaultSkin()
        cls.objects = {o.name: o for o in cls.skin.objects}
        cls.refs = cls.skin.references()
        cls.bitmaps = {}
        for name in BITMAPS:
            with open(os.path.join(SKIN_DIR, name), 'rb') as f:
                cls.bitmaps[name] = decode_bmp8(f.read())[4]

    def test_references_lie_inside_their_bitmaps(self):
        for owner, field, ref in self.refs:
            rows = self.bitmaps[ref.bitmap]
            l, t, r, b = ref.rect
            with self.subTest(object=owner, field=field):
                self.assertTrue(0 <= l < r <= len(rows[0]) and 0 <= t < b <= len(rows))
                if isinstance(ref, FrameImageRef):
                    ml, mt, mr, mb = ref.margins
                    self.assertLessEqual(ml + mr, r - l)
                    self.assertLessEqual(mt + mb, b - t)
                else:
                    self.assertIn(ref.mode, (0, 1, 2))

    def test_pictures_copied_without_key_hold_no_key_colour(self):
        for owner, field, ref in self.refs:
            if field in KEYED_FIELDS or is_frame_piece(field):
                continue
            with self.subTest(object=owner, field=field):
                self.assertFalse(KEY in pixels(self.bitmaps, ref), 'key colour in %s' % (ref.rect,))

    def test_keyed_pictures_show_something(self):
        for owner, field, ref in self.refs:
            if field not in KEYED_FIELDS:
                continue
            flat_toolbar = owner == 'ToolBar' and field in ('frameImage[0]', 'frameImage[3]')
            with self.subTest(object=owner, field=field):
                self.assertEqual(all(p == KEY for p in pixels(self.bitmaps, ref)), flat_toolbar)

    def test_frame_corners_are_cut_by_the_key_and_edges_are_solid(self):
        for frame in ('MainFrame', 'Dialog'):
            f = dict(self.objects[frame].fields)
            for prefix in ('ACTIVEFRAME', 'DEACTIVEFRAME'):
                top_left = pixels(self.bitmaps, f[prefix + '.TOPLEFT'])
                top_right = f[prefix + '.TOPRIGHT']
                with self.subTest(frame=frame, look=prefix):
                    self.assertEqual(top_left[0], KEY)
                    self.assertEqual(pixels(self.bitmaps, top_right)[top_right.width - 1], KEY)
                    for edge in ('MIDDLETOP', 'MIDDLELEFT', 'MIDDLERIGHT', 'BOTTOMMIDDLE', 'ClIENT'):
                        self.assertFalse(KEY in pixels(self.bitmaps, f['%s.%s' % (prefix, edge)]), edge)

    def test_stretched_frame_edges_are_uniform_along_their_length(self):
        # Stretching an edge only reproduces the design when every column
        # (top, bottom) or every row (sides) of the piece is the same.
        for frame in ('MainFrame', 'Dialog'):
            f = dict(self.objects[frame].fields)
            for prefix in ('ACTIVEFRAME', 'DEACTIVEFRAME'):
                for key, along_x in (('MIDDLETOP', True), ('BOTTOMMIDDLE', True),
                                     ('MIDDLELEFT', False), ('MIDDLERIGHT', False)):
                    ref = f['%s.%s' % (prefix, key)]
                    rows = [row[ref.rect[0]:ref.rect[2]] for row in
                            self.bitmaps[ref.bitmap][ref.rect[1]:ref.rect[3]]]
                    lines = rows if along_x else list(zip(*rows))
                    with self.subTest(frame=frame, piece=prefix + '.' + key):
                        self.assertTrue(all(len(set(line)) == 1 for line in lines))

    def test_corner_pieces_have_the_size_of_their_design_rectangles(self):
        for frame in ('MainFrame', 'Dialog', 'PopupMenu'):
            f = dict(self.objects[frame].fields)
            prefix = 'FRAME' if frame == 'PopupMenu' else 'ACTIVEFRAME'
            for index, key in ((0, 'TOPLEFT'), (2, 'TOPRIGHT'), (6, 'BOTTOMLEFt'), (8, 'BOTtoMRIGHT')):
                ref, design = f['%s.%s' % (prefix, key)], f['designRect[%d]' % index]
                with self.subTest(frame=frame, piece=key):
                    self.assertEqual((ref.width, ref.height), (design[2] - design[0], design[3] - design[1]))
                    self.assertEqual(ref.mode, 0)

    def test_push_button_corners_make_a_rounded_region(self):
        ref = dict(self.objects['Button'].fields)['NORMAL.IMAGE']
        rows = [row[ref.rect[0]:ref.rect[2]] for row in self.bitmaps[ref.bitmap][ref.rect[1]:ref.rect[3]]]
        for x, y in ((0, 0), (-1, 0), (0, -1), (-1, -1)):
            self.assertEqual(rows[y][x], KEY)
        self.assertNotEqual(rows[ref.height // 2][0], KEY)


class Geometry(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.objects = {o.name: o for o in DefaultSkin().objects}

    def buttons(self, frame):
        return {c.name: dict(c.fields) for c in self.objects[frame].children}

    def test_caption_buttons_sit_in_the_caption_of_the_design_frame(self):
        for frame in ('MainFrame', 'Dialog'):
            f = dict(self.objects[frame].fields)
            caption, width = f['designRect[0]'][3], f['designRect[2]'][2]
            for name, button in self.buttons(frame).items():
                l, t, r, b = button['placement']
                with self.subTest(frame=frame, button=name):
                    self.assertTrue(0 <= l < r <= width and 0 <= t < b <= caption)
                    self.assertEqual((r - l, b - t), (button['image'].width, button['image'].height))
                    right_side = name != 'Sys'
                    self.assertEqual(button['anchor'], 4 if right_side else 0)
                    if right_side:
                        # Caption text ends where part 2 begins.
                        self.assertGreaterEqual(l, f['designRect[2]'][0])

    def test_restore_buttons_take_the_place_of_their_partners(self):
        b = self.buttons('MainFrame')
        for shown, restore, codes in (('Max', 'MaxRestore', (4, 3)), ('Min', 'MinRestore', (2, 1))):
            self.assertEqual(b[shown]['placement'], b[restore]['placement'])
            self.assertEqual((b[shown]['showCode'], b[restore]['showCode']), codes)
            self.assertEqual(b[shown]['action'], b[restore]['action'])
        self.assertEqual({n: v['action'] for n, v in b.items()},
                         {'Close': 1, 'Max': 3, 'MaxRestore': 3, 'Min': 4, 'MinRestore': 4, 'Sys': 5})

    def test_caption_buttons_do_not_overlap(self):
        b = self.buttons('MainFrame')
        visible = [b[n]['placement'] for n in ('Sys', 'Min', 'Max', 'Close')]
        for i, a in enumerate(visible):
            for c in visible[i + 1:]:
                self.assertTrue(a[2] <= c[0] or c[2] <= a[0] or a[3] <= c[1] or c[3] <= a[1])

    def test_menu_bar_items_keep_their_text_in_place_when_lit(self):
        # An idle item draws its text at the item's edge, a lit one inside
        # the image's margins: left 0 and equal top and bottom keep it still.
        for frame in ('MainFrame', 'Dialog'):
            bar = dict(self.objects[frame].menubar)
            for key in ('hotImage', 'openImage'):
                l, t, r, b = bar[key].margins
                with self.subTest(frame=frame, image=key):
                    self.assertEqual(l, 0)
                    self.assertEqual(t, b)

    def test_scroll_bar_pieces_fit_the_arrow_size(self):
        # The engine sizes the bars from ARROW1's height and the thumb's
        # minimum length from THUMB's width, and insets the thumb by the
        # track's top and bottom margins.
        f = dict(self.objects['ScrollBar'].fields)
        size = f['NORMAL.ARROW1'].height
        for state in ('NORMAL', 'PRESSED', 'HIGHLIGHTED', 'DISABLED'):
            track, thumb = f[state + '.SCROLLBAR'], f[state + '.THUMB']
            with self.subTest(state=state):
                for arrow in ('ARROW1', 'ARROW2'):
                    self.assertEqual((f['%s.%s' % (state, arrow)].width, f['%s.%s' % (state, arrow)].height),
                                     (size, size))
                self.assertEqual(track.height, size)
                self.assertEqual(thumb.height, size - track.margins[1] - track.margins[3])
                self.assertGreaterEqual(thumb.width, thumb.height)

    def test_popup_separator_is_lower_than_an_item(self):
        f = dict(self.objects['PopupMenu'].fields)
        highlight = f['ITEM.ACTIVEIMAGE']
        smallest_item = 12 + highlight.margins[1] + highlight.margins[3] + 2
        self.assertLess(f['ITEM.SEPARATORIMAGE'].height, smallest_item)

    def test_pictures_drawn_into_cells_of_another_size_are_stretched(self):
        # Check mark, submenu arrow and spin halves are drawn into cells the
        # engine sizes from the font or the control; drawn once they would
        # leave the rest of the cell unpainted.
        popup = dict(self.objects['PopupMenu'].fields)
        self.assertEqual(popup['ITEM.CHECKIMAGE'].mode, 2)
        self.assertEqual(popup['ITEM.SUBMENU'].mode, 2)
        for field, ref in self.objects['Spin'].fields:
            if isinstance(ref, ImageRef):
                self.assertEqual(ref.mode, 2, field)


if __name__ == '__main__':
    unittest.main()
